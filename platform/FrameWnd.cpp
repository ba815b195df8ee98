#include "platform/FrameWnd.h"

#include "platform/ActivationContext.h"
#include "platform/Module.h"
#include "platform/Text.h"

namespace platform {

CFrameWnd::~CFrameWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hWnd);
    }
}

ATOM CFrameWnd::RegisterFrameClass(const wchar_t* pszName, UINT nStyle, HCURSOR hCursor, HBRUSH hBackground)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = nStyle;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = CModule::ResourceInstance();
    wc.hCursor = hCursor;
    wc.hbrBackground = hBackground;
    wc.lpszClassName = pszName;
    CActivationScope scope;
    const ATOM atom = ::RegisterClassExW(&wc);
    if (atom || ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return atom;
    // Classes of a DLL outlive its unloading. Reloaded at the same address,
    // the old registration's procedure is our procedure again.
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    const ATOM found = static_cast<ATOM>(::GetClassInfoExW(wc.hInstance, pszName, &existing));
    return found && existing.lpfnWndProc == WindowProc ? found : 0;
}

bool CFrameWnd::CreateEx(DWORD dwExStyle, ATOM atomClass, const std::string& text, DWORD dwStyle, const RECT& rc,
                         HWND hParent, UINT nId)
{
    const std::wstring wide = WideFromAnsi(text);
    CActivationScope scope;
    HWND hWnd = ::CreateWindowExW(dwExStyle, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atomClass)), wide.c_str(), dwStyle, rc.left, rc.top,
                                  rc.right - rc.left, rc.bottom - rc.top, hParent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nId)), CModule::ResourceInstance(),
                                  this);
    return hWnd != nullptr;
}

void CFrameWnd::DestroyWindow()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CFrameWnd::WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CFrameWnd* pThis = nullptr;
    if (msg == WM_NCCREATE) {
        pThis = static_cast<CFrameWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        pThis->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pThis));
    } else {
        pThis = reinterpret_cast<CFrameWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    }
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after the object let
    // go of its window are the default procedure's.
    if (!pThis)
        return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        pThis->m_hWnd = nullptr;
        const LRESULT lResult = ::DefWindowProcW(hWnd, msg, wParam, lParam);
        pThis->PostNcDestroy();
        return lResult;
    }
    // Nothing may unwind through the system's frames. A handler may destroy
    // the window and so delete the object: it is not touched afterwards.
    try {
        LRESULT lResult = 0;
        if (pThis->ProcessWindowMessage(msg, wParam, lParam, lResult))
            return lResult;
    } catch (...) {
        return 0;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

}  // namespace platform
