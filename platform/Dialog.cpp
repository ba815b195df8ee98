#include "platform/Dialog.h"

#include <algorithm>

#include "platform/ActivationContext.h"
#include "platform/HtmlHelp.h"
#include "platform/Module.h"

namespace platform {

namespace {

// Messages whose answer is the dialog procedure's return value itself rather
// than DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg)
{
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

void MoveBy(HWND hWnd, int dy)
{
    const RECT rc = CWnd(hWnd).GetRectInParent();
    ::SetWindowPos(hWnd, nullptr, rc.left, rc.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GrowBy(HWND hWnd, int dy, UINT extraFlags = 0)
{
    const RECT rc = CWnd(hWnd).GetWindowRect();
    ::SetWindowPos(hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | extraFlags);
}

}  // namespace

CDialog::CDialog(UINT nTemplateId, HWND hParent) : m_nTemplateId(nTemplateId), m_hWndParent(hParent) {}

CDialog::~CDialog()
{
    // Should a window outlive its object, its messages must not reach freed
    // memory; they fall back to the dialog manager.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
}

INT_PTR CDialog::DoModal()
{
    // The dialog and its controls, and every window made while it runs,
    // are the module's Common Controls 6 ones.
    CActivationScope scope;
    return ::DialogBoxParamW(CModule::ResourceInstance(), MAKEINTRESOURCEW(m_nTemplateId), m_hWndParent,
                             DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog()
{
    DoDataExchange();
    return TRUE;
}

bool CDialog::OnCommand(UINT nId, UINT nCode, HWND hControl)
{
    switch (nId) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    case kHelpButtonId:
        if (const std::string* path = GetHelpPath()) {
            if (nCode == BN_CLICKED)
                ShowHelpTopic(m_hWnd, *path);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool CDialog::RouteCommand(UINT nId, UINT nCode, HWND hControl)
{
    for (const CCommandEntry& entry : m_commands) {
        if (nId >= entry.nFirst && nId <= entry.nLast && (entry.nCode == kAnyCode || entry.nCode == nCode)) {
            entry.handler(nId);
            return true;
        }
    }
    return OnCommand(nId, nCode, hControl);
}

bool CDialog::RouteNotify(NMHDR& header, LRESULT& lResult)
{
    for (const CNotifyEntry& entry : m_notifications) {
        if (entry.nCode == header.code && (entry.nId == kAnyId || entry.nId == header.idFrom)) {
            lResult = entry.handler(header);
            return true;
        }
    }
    return OnNotify(header, lResult);
}

bool CDialog::BindControl(int id, CWnd& control) const
{
    control.Attach(::GetDlgItem(m_hWnd, id));
    return control.GetSafeHwnd() != nullptr;
}

void CDialog::GotoDlgCtrl(HWND hControl) const
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hControl), TRUE);
}

int CDialog::RemoveRows(const CRowRemoval& rows) const
{
    const RECT rcKept = GetDlgItem(rows.idKeptEdit).GetRectInParent();
    const RECT rcLast = GetDlgItem(rows.idLastRemovedEdit).GetRectInParent();
    const int nHeight = std::max(0, static_cast<int>(rcLast.bottom - rcKept.bottom));

    for (int id : rows.hidden)
        GetDlgItem(id).ShowWindow(SW_HIDE);
    GrowBy(GetDlgItem(rows.idGroupBox), -nHeight, SWP_SHOWWINDOW);
    for (int id : rows.below)
        MoveBy(GetDlgItem(id), -nHeight);
    GrowBy(m_hWnd, -nHeight);
    return nHeight;
}

void CDialog::CenterOnOwner() const
{
    const RECT rc = GetWindowRect();
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    const bool bOverOwner = hOwner && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(bOverOwner ? hOwner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT rcWork = monitor.rcWork;
    RECT rcArea = rcWork;
    if (bOverOwner)
        ::GetWindowRect(hOwner, &rcArea);

    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    int x = (rcArea.left + rcArea.right - cx) / 2;
    int y = (rcArea.top + rcArea.bottom - cy) / 2;
    // Keep the caption on the screen when the owner hangs off its edge.
    x = std::max(static_cast<int>(rcWork.left), std::min(x, static_cast<int>(rcWork.right) - cx));
    y = std::max(static_cast<int>(rcWork.top), std::min(y, static_cast<int>(rcWork.bottom) - cy));
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialog::InitDialog()
{
    const RECT before = GetWindowRect();
    const BOOL bDefaultFocus = OnInitDialog();
    const RECT after = GetWindowRect();
    // Dialogs open centred over their owner unless they placed themselves.
    if (before.left == after.left && before.top == after.top)
        CenterOnOwner();
    return bDefaultFocus;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (ProcessWindowMessage(msg, wParam, lParam, lResult)) {
        if (AnswersDirectly(msg))
            return static_cast<INT_PTR>(lResult);
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, lResult);
        return TRUE;
    }
    switch (msg) {
    case WM_INITDIALOG:
        return InitDialog();
    case WM_COMMAND:
        return RouteCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_NOTIFY:
        if (RouteNotify(*reinterpret_cast<NMHDR*>(lParam), lResult)) {
            ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, lResult);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CDialog* pThis = nullptr;
    if (msg == WM_INITDIALOG) {
        pThis = reinterpret_cast<CDialog*>(lParam);
        pThis->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
    } else {
        pThis = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
    }
    // Messages sent before WM_INITDIALOG (WM_SETFONT) and after the window
    // let go of its object are the dialog manager's.
    if (!pThis)
        return FALSE;
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hWnd, DWLP_USER, 0);
        pThis->m_hWnd = nullptr;
        return FALSE;
    }
    // Nothing may unwind through the system's frames: a failed allocation in
    // a handler ends the dialog as cancelled unless the dialog keeps it.
    try {
        return pThis->Dispatch(msg, wParam, lParam);
    } catch (...) {
        if (!pThis->OnHandlerFailed(msg))
            ::EndDialog(hWnd, IDCANCEL);
        return FALSE;
    }
}

}  // namespace platform
