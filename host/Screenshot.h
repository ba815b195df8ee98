#pragma once
// Saves what the screen shows in a rectangle as a PNG file (GDI+), the way a
// user sees it: windows, menus and message boxes over each other.
#include <windows.h>

#include <string>

namespace host {

bool SaveScreenRectToPng(const RECT& rc, const std::wstring& path);
// The window's rectangle together with every visible popup menu of this thread.
RECT WindowWithMenusRect(HWND hWnd);

}  // namespace host
