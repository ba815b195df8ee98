#include "platform/Dpi.h"

#include "util/DpiRules.h"

namespace platform {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn FindGetDpiForWindow()
{
    // user32 is loaded in every process with windows; older systems lack the
    // export, and the screen's DPI is the answer there.
    HMODULE hUser = ::GetModuleHandleW(L"user32.dll");
    return hUser ? reinterpret_cast<GetDpiForWindowFn>(
                       reinterpret_cast<void*>(::GetProcAddress(hUser, "GetDpiForWindow")))
                 : nullptr;
}

}  // namespace

int DpiOfScreen()
{
    HDC hdc = ::GetDC(nullptr);
    if (!hdc)
        return util::kBaseDpi;
    const int dpi = ::GetDeviceCaps(hdc, LOGPIXELSY);
    ::ReleaseDC(nullptr, hdc);
    return dpi > 0 ? dpi : util::kBaseDpi;
}

int DpiOfWindow(HWND hWnd)
{
    static const GetDpiForWindowFn pfnGetDpiForWindow = FindGetDpiForWindow();
    if (hWnd && ::IsWindow(hWnd) && pfnGetDpiForWindow) {
        const UINT dpi = pfnGetDpiForWindow(hWnd);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return DpiOfScreen();
}

int ScaleForWindow(HWND hWnd, int value)
{
    return util::ScaleForDpi(value, DpiOfWindow(hWnd));
}

}  // namespace platform
