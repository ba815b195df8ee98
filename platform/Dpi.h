#pragma once
// The DPI a window is drawn at, and figures written for 96 DPI scaled to it.
#include <windows.h>

namespace platform {

// The window's own DPI where the system knows one per window (Windows 10
// 1607 and later), otherwise the screen's. A host that is not DPI-aware gets
// 96 here, and Windows stretches its windows instead.
int DpiOfWindow(HWND hWnd);
// The DPI of the screen, for a window not yet made.
int DpiOfScreen();

// value (pixels at 96 DPI) at the DPI of the window.
int ScaleForWindow(HWND hWnd, int value);

}  // namespace platform
