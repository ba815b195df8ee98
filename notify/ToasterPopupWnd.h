#pragma once
// The small borderless notification that rises out of the taskbar edge,
// shows a title, an optional icon and a link-styled text line for a while,
// sinks back and frees itself. A click hands its link to the creator's
// handler. Nobody owns it: the creator makes it on the heap, calls Show and
// forgets it; window timers in the thread's message loop run it from there.
#include <windows.h>

#include <string>

#include "notify/GdiplusSession.h"
#include "notify/PopupGeometry.h"
#include "platform/FrameWnd.h"
#include "platform/Module.h"
#include "platform/UniqueHandle.h"

class CToasterPopupWnd : public platform::CFrameWnd {
public:
    using ClickHandler = void (*)(std::string strLink);

    // Times in milliseconds, sizes in pixels at 96 DPI (the popup scales them
    // to the DPI of the host's window when it is shown). A display time of 0 never ends
    // the popup by itself; a slide time of 0 shows and removes it at once.
    CToasterPopupWnd(int nDisplayTime, int nWidth, int nHeight, int nSlideTime);
    ~CToasterPopupWnd() override;

    void SetTitle(const std::string& strTitle) { m_strTitle = strTitle; }
    void SetText(const std::string& strText) { m_strText = strText; }
    void SetLink(const std::string& strLink) { m_strLink = strLink; }

    // Places the popup at the taskbar, shows it without activating it and
    // starts its timers. A popup whose window could not be made frees itself
    // here, so the creator's new-then-Show leaks nothing.
    void Show();

    // The window class of every popup.
    static constexpr const char* kClassName = "qtvAccAlert";

    // Set by the creator before Show. The icon stays the creator's; the popup
    // draws its own copy, taken in Show, so it may outlive the creator.
    HICON m_hIcon = nullptr;
    int m_bLinkStyle = 1;
    ClickHandler m_pfnClick = nullptr;
    // The host's window: the popup rises on its monitor and takes its DPI.
    // May be null (the primary monitor and the screen's DPI).
    HWND m_hHostWindow = nullptr;

    // The DPI the popup is laid out for, and its size at that DPI.
    int GetDpi() const { return m_nDpi; }
    int PixelWidth() const;
    int PixelHeight() const;

protected:
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    enum : UINT_PTR { kDisplayTimer = 1, kSlideTimer = 2 };
    static constexpr UINT kSlidePeriodMs = 5;

    void OnPaint();
    void OnDpiChanged(int nDpi);
    void Place();
    void OnTimer(UINT_PTR nId);
    void OnMouseMove(LPARAM lParam);
    void OnLButtonDown();
    void LeaveHover();
    void CheckPointerStillOver();
    void AnimationStep(bool bSlidingIn);
    void ApplyWindowRect();

    // First, so both outlast everything the window does: the module stays
    // loaded and GDI+ started until the object is gone.
    platform::CModuleLock m_moduleLock;
    notify::CGdiplusSession m_gdiplus;

    int m_nPlacement = notify::kPlaceAboveBottomTaskbar;
    int m_nWidth;
    int m_nHeight;
    int m_nDisplayTime;
    int m_nSlideTime;
    int m_bShown = 0;
    notify::CPopupRect m_rcWindow;
    notify::CPopupRect m_rcTaskbar;
    DWORD m_dwStartTime = 0;
    std::string m_strTitle;
    std::string m_strText;
    int m_bHover = 0;
    std::string m_strLink;
    platform::CIcon m_iconCopy;
    // The display time ran out during the slide-in: slide out once risen.
    int m_bSlideOutDue = 0;
    int m_nDpi = 96;
};
