#include "editor/MyRichEditCtrl.h"

#include <commctrl.h>

#include "editor/BlogOutputDlg.h"
#include "res/resource.h"

namespace {
constexpr UINT_PTR kSubclassId = 1;
// The control characters that Ctrl with B, I, U and K produces.
constexpr UINT kCtrlB = 2, kCtrlI = 9, kCtrlK = 11, kCtrlU = 21;
}  // namespace

CMyRichEditCtrl::~CMyRichEditCtrl()
{
    if (m_hHooked && ::IsWindow(m_hHooked))
        ::RemoveWindowSubclass(m_hHooked, SubclassProc, kSubclassId);
}

void CMyRichEditCtrl::SetOwner(CBlogOutputDlg* pOwner)
{
    m_pOwner = pOwner;
    if (!m_hHooked && m_hWnd && ::SetWindowSubclass(m_hWnd, SubclassProc, kSubclassId,
                                                    reinterpret_cast<DWORD_PTR>(this)))
        m_hHooked = m_hWnd;
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

LRESULT CALLBACK CMyRichEditCtrl::SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR /*uId*/,
                                               DWORD_PTR dwRefData)
{
    auto* self = reinterpret_cast<CMyRichEditCtrl*>(dwRefData);
    switch (msg) {
    case WM_CHAR:
        if (self->OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return 0;
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hWnd, SubclassProc, kSubclassId);
        self->m_hHooked = nullptr;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}
