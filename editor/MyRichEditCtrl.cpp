#include "editor/MyRichEditCtrl.h"


#include "editor/BlogOutputDlg.h"
#include "platform/Text.h"
#include "res/resource.h"

namespace {
// The control object, found from its window.
constexpr wchar_t kOwnerProperty[] = L"CMyRichEditCtrl";
// The control characters that Ctrl with B, I, U and K produces.
constexpr UINT kCtrlB = 2, kCtrlI = 9, kCtrlK = 11, kCtrlU = 21;
// The control is an 8-bit one: a typed character that the code page cannot
// hold would reach it as "?" and be lost. The wide window procedure sees the
// character in UTF-16; such a one goes in as Unicode text, which the
// control keeps (and writes out as \\uN) in the format the caret had.
// So does a character of two bytes on a double-byte system (Japanese,
// Chinese, Korean): an 8-bit window gets it as two WM_CHAR messages, lead
// byte first, which not every control pairs (Wine's makes two wrong
// characters of them).
bool InsertAsUnicode(HWND hWnd, WPARAM wParam)
{
    if (wParam < 0x80 || wParam > 0xFFFF || (wParam >= 0xD800 && wParam <= 0xDFFF))
        return false;
    const wchar_t wide = static_cast<wchar_t>(wParam);
    if (platform::FitsCodePage(std::wstring(1, wide)) && platform::AnsiFromWide(&wide, 1).size() < 2)
        return false;

    const wchar_t text[2] = {wide, L'\0'};
    SETTEXTEX how{ST_SELECTION | ST_KEEPUNDO, 1200};
    ::SendMessageW(hWnd, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text));
    return true;
}

}  // namespace

CMyRichEditCtrl::~CMyRichEditCtrl()
{
    Unhook();
}

void CMyRichEditCtrl::SetOwner(CBlogOutputDlg* pOwner)
{
    m_pOwner = pOwner;
    if (m_hHooked || !m_hWnd)
        return;
    // A window procedure of the wide kind makes the window a wide one, so
    // typed characters reach us in UTF-16 before the 8-bit control sees them.
    ::SetPropW(m_hWnd, kOwnerProperty, this);
    m_pfnOldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CMyRichEditCtrl::WindowProc)));
    m_hHooked = m_hWnd;
}

void CMyRichEditCtrl::Unhook()
{
    if (!m_hHooked)
        return;
    if (::IsWindow(m_hHooked)) {
        ::SetWindowLongPtrW(m_hHooked, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOldProc));
        ::RemovePropW(m_hHooked, kOwnerProperty);
    }
    m_hHooked = nullptr;
}

bool CMyRichEditCtrl::OnChar(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/)
{
    // Tab arrives as the same character as Ctrl+I; only the Control key
    // tells them apart.
    if (!m_pOwner || !(::GetKeyState(VK_CONTROL) & 0x8000))
        return false;
    switch (nChar) {
    case kCtrlB:
        m_pOwner->OnCharEffect(ID_FORMAT_BOLD);
        return true;
    case kCtrlI:
        m_pOwner->OnCharEffect(ID_FORMAT_ITALIC);
        return true;
    case kCtrlU:
        m_pOwner->OnCharEffect(ID_FORMAT_UNDERLINE);
        return true;
    case kCtrlK:
        // Consumed even inside a link, where a link cannot be created.
        if (m_pOwner->m_formatBar.IsButtonEnabled(ID_CREATE_LINK)) {
            m_pOwner->InsertLink();
            m_pOwner->m_nLinkStart = m_pOwner->m_nLinkEnd = -1;
        }
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK CMyRichEditCtrl::WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<CMyRichEditCtrl*>(::GetPropW(hWnd, kOwnerProperty));
    if (!self)
        return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    const WNDPROC pfnOld = self->m_pfnOldProc;
    // Nothing may unwind through the system's frames: a key whose handling
    // failed is dropped.
    try {
        switch (msg) {
        case WM_CHAR:
            if (self->OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
                return 0;
            if (InsertAsUnicode(hWnd, wParam))
                return 0;
            break;
        case WM_NCDESTROY:
            self->Unhook();
            break;
        default:
            break;
        }
    } catch (...) {
        return 0;
    }
    return ::CallWindowProcW(pfnOld, hWnd, msg, wParam, lParam);
}
