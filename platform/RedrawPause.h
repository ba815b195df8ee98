#pragma once
// Holds back a window's painting while many of its children change at once,
// then has all of it painted again. Some controls paint themselves at once
// when they are enabled or disabled (themed buttons do): a dozen of them
// changed in one handler keep the window from its messages for tens of
// milliseconds. After the pause the painting comes as ordinary paint
// messages, one window at a time, and the window answers between them.
#include <windows.h>

namespace platform {

class CRedrawPause {
public:
    // A hidden window is left alone: letting it paint again would show it.
    explicit CRedrawPause(HWND hWnd) : m_hWnd(::IsWindowVisible(hWnd) ? hWnd : nullptr)
    {
        if (m_hWnd)
            ::SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    }
    ~CRedrawPause()
    {
        if (!m_hWnd)
            return;
        ::SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    CRedrawPause(const CRedrawPause&) = delete;
    CRedrawPause& operator=(const CRedrawPause&) = delete;

private:
    HWND m_hWnd;
};

}  // namespace platform
