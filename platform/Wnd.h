#pragma once
// Non-owning window wrapper with the handful of calls our dialogs, controls
// and popup use. Windows own their children; the top-level owner (a dialog or
// frame object) destroys its window, so a CWnd never does.
#include <windows.h>

#include <string>

namespace platform {

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach()
    {
        HWND h = m_hWnd;
        m_hWnd = nullptr;
        return h;
    }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    CWnd GetDlgItem(int id) const { return CWnd(::GetDlgItem(m_hWnd, id)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    // Text in the ANSI code page, the system's 8-bit strings.
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text) const { ::SetWindowTextA(m_hWnd, text.c_str()); }

    void ShowWindow(int nCmdShow) const { ::ShowWindow(m_hWnd, nCmdShow); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != 0; }
    void EnableWindow(bool bEnable) const { ::EnableWindow(m_hWnd, bEnable ? TRUE : FALSE); }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != 0; }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }

    RECT GetWindowRect() const
    {
        RECT rc{};
        ::GetWindowRect(m_hWnd, &rc);
        return rc;
    }
    RECT GetClientRect() const
    {
        RECT rc{};
        ::GetClientRect(m_hWnd, &rc);
        return rc;
    }
    // The window's rectangle in its parent's client coordinates.
    RECT GetRectInParent() const;
    void MoveWindow(const RECT& rc, bool bRepaint = true) const
    {
        ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, bRepaint ? TRUE : FALSE);
    }

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, msg, wParam, lParam);
    }

protected:
    HWND m_hWnd = nullptr;
};

}  // namespace platform
