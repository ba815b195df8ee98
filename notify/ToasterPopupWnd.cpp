#include "notify/ToasterPopupWnd.h"

#include <mmsystem.h>
#include <windowsx.h>

#include "notify/PopupPainter.h"
#include "notify/Taskbar.h"
#include "platform/Dpi.h"
#include "platform/Text.h"
#include "res/resource.h"
#include "util/DpiRules.h"

namespace {

ATOM g_atomClass = 0;

}  // namespace

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

CToasterPopupWnd::CToasterPopupWnd(int nDisplayTime, int nWidth, int nHeight, int nSlideTime)
    : m_nWidth(nWidth), m_nHeight(nHeight), m_nDisplayTime(nDisplayTime), m_nSlideTime(nSlideTime)
{
    if (!g_atomClass)
        g_atomClass = RegisterFrameClass(platform::WideFromAnsi(kClassName).c_str(), CS_DBLCLKS | CS_SAVEBITS,
                                         ::LoadCursor(nullptr, IDC_ARROW),
                                         reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    if (!g_atomClass)
        return;
    // Placed before it is first shown; the rectangle here does not matter.
    const RECT rc{0, 0, 0, 0};
    CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, g_atomClass, platform::CModule::LoadString(IDS_ALERT_WINDOW_TEXT),
             WS_POPUP, rc, nullptr, 0);
}

CToasterPopupWnd::~CToasterPopupWnd() = default;

void CToasterPopupWnd::Show()
{
    if (!IsWindow()) {
        delete this;
        return;
    }
    m_nDpi = platform::DpiOfWindow(m_hHostWindow);
    if (m_hIcon)
        m_iconCopy.Reset(::CopyIcon(m_hIcon));
    if (m_nSlideTime <= 0)
        m_bShown = 1;

    Place();
    ShowWindow(SW_SHOWNA);
    ::UpdateWindow(m_hWnd);

    if (m_nSlideTime > 0)
        ::SetTimer(m_hWnd, kSlideTimer, kSlidePeriodMs, nullptr);
    m_dwStartTime = ::timeGetTime();
    if (m_nDisplayTime > 0)
        ::SetTimer(m_hWnd, kDisplayTimer, static_cast<UINT>(m_nDisplayTime), nullptr);
}

int CToasterPopupWnd::PixelWidth() const { return util::ScaleForDpi(m_nWidth, m_nDpi); }
int CToasterPopupWnd::PixelHeight() const { return util::ScaleForDpi(m_nHeight, m_nDpi); }

void CToasterPopupWnd::Place()
{
    const notify::CRiseEdge rise = notify::QueryRiseEdge(m_hHostWindow);
    m_rcTaskbar = rise.strip;
    m_nPlacement = notify::PlacementForEdge(rise.edge);
    m_rcWindow = notify::PlacePopup(m_nPlacement, m_rcTaskbar, PixelWidth(), PixelHeight(), m_bShown != 0);
    ApplyWindowRect();
}

void CToasterPopupWnd::OnDpiChanged(int nDpi)
{
    // Its monitor's scale changed: the same popup at the new size, placed
    // anew against the edge; a running slide moves its edge on from there at
    // the next step.
    if (nDpi <= 0 || nDpi == m_nDpi)
        return;
    m_nDpi = nDpi;
    Place();
}

bool CToasterPopupWnd::ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return true;
    case WM_ERASEBKGND:
        // The paint handler covers every pixel; erasing first would flicker.
        lResult = 1;
        return true;
    case WM_TIMER:
        OnTimer(wParam);
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        return true;
    case WM_LBUTTONDOWN:
        OnLButtonDown();
        return true;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam));
        lResult = 0;
        return true;
    default:
        return false;
    }
}

void CToasterPopupWnd::OnPaint()
{
    platform::CPaintDC paint(m_hWnd);
    if (!paint.Get() || !m_gdiplus.IsStarted())
        return;
    const RECT rc = GetClientRect();
    notify::CPopupContent content;
    content.title = platform::WideFromAnsi(m_strTitle);
    content.text = platform::WideFromAnsi(m_strText);
    content.bLinkStyle = m_bLinkStyle == 1;
    content.hIcon = m_iconCopy.Get();
    content.nDpi = m_nDpi;
    notify::PaintPopup(paint.Get(), rc.right - rc.left, rc.bottom - rc.top, content);
}

void CToasterPopupWnd::OnTimer(UINT_PTR nId)
{
    CheckPointerStillOver();
    if (nId == kDisplayTimer) {
        ::KillTimer(m_hWnd, kDisplayTimer);
        if (m_nSlideTime > 0 && !m_bShown) {
            // Still rising: restarting the slide here would leave the popup
            // shown for good once it has risen. It sinks when it is up.
            m_bSlideOutDue = 1;
            return;
        }
        if (m_nSlideTime <= 0 && !m_bHover) {
            DestroyWindow();  // deletes this object
            return;
        }
        // Slides out, or holds while the pointer rests on the popup.
        m_dwStartTime = ::timeGetTime();
        ::SetTimer(m_hWnd, kSlideTimer, kSlidePeriodMs, nullptr);
    } else if (nId == kSlideTimer) {
        AnimationStep(m_bShown == 0);
    }
}

void CToasterPopupWnd::AnimationStep(bool bSlidingIn)
{
    const DWORD dwNow = ::timeGetTime();
    if (m_bHover) {
        // Held in place; the slide starts over once the pointer has left.
        m_dwStartTime = dwNow;
        ::SetTimer(m_hWnd, kSlideTimer, kSlidePeriodMs, nullptr);
        return;
    }
    const notify::CSlideProgress progress = notify::SlideProgress(dwNow - m_dwStartTime, m_nSlideTime, bSlidingIn);
    m_rcWindow = notify::MoveEdge(m_nPlacement, m_rcWindow, m_rcTaskbar, PixelHeight(), progress.visible);
    if (progress.finished) {
        ::KillTimer(m_hWnd, kSlideTimer);
        if (!bSlidingIn) {
            m_bShown = 0;
            DestroyWindow();  // deletes this object
            return;
        }
        m_bShown = 1;
        if (m_bSlideOutDue) {
            m_bSlideOutDue = 0;
            m_dwStartTime = dwNow;
            ::SetTimer(m_hWnd, kSlideTimer, kSlidePeriodMs, nullptr);
        }
    }
    ApplyWindowRect();
}

void CToasterPopupWnd::ApplyWindowRect()
{
    ::SetWindowPos(m_hWnd, nullptr, m_rcWindow.left, m_rcWindow.top, m_rcWindow.right - m_rcWindow.left,
                   m_rcWindow.bottom - m_rcWindow.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CToasterPopupWnd::OnMouseMove(LPARAM lParam)
{
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &pt);
    const RECT rc = GetWindowRect();
    const bool bInside = ::PtInRect(&rc, pt) != 0;
    if (bInside && !m_bHover) {
        // Captured, so the move that leaves the popup reaches it too.
        m_bHover = 1;
        ::SetCapture(m_hWnd);
        ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
    } else if (!bInside && m_bHover) {
        LeaveHover();
    }
}

void CToasterPopupWnd::LeaveHover()
{
    m_bHover = 0;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
}

void CToasterPopupWnd::CheckPointerStillOver()
{
    // The capture brings the leaving move only while this thread has the
    // foreground. With another application active the move goes elsewhere
    // and a hovered popup would stay for good, so the timers look as well.
    if (!m_bHover)
        return;
    POINT pt{};
    const RECT rc = GetWindowRect();
    if (::GetCursorPos(&pt) && !::PtInRect(&rc, pt))
        LeaveHover();
}

void CToasterPopupWnd::OnLButtonDown()
{
    // The handler may run a message loop (the shell opening a browser) in
    // which the popup ends and frees itself: the state changes first, and
    // the handler gets its own copy of the link.
    m_bShown = 1;
    if (ClickHandler pfnClick = m_pfnClick)
        pfnClick(m_strLink);
}
