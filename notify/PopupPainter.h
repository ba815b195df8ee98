#pragma once
// The popup's drawing: frame, gradient, title, the text line and the icon,
// laid out anew for the window's current size. Needs GDI+ started.
#include <windows.h>

#include <string>

namespace notify {

struct CPopupContent {
    std::wstring title;
    std::wstring text;
    bool bLinkStyle = true;  // blue, bold, underlined; otherwise grey and bold
    HICON hIcon = nullptr;
    int nDpi = 96;  // the DPI the popup is laid out for
};

void PaintPopup(HDC hdc, int width, int height, const CPopupContent& content);

// The family the popup's texts are drawn in: "Verdana" where it exists, else
// the generic sans-serif family, else an installed sans-serif family by name;
// a family that cannot draw bold gives way to the next one. Empty when GDI+
// knows none of them; the texts are then left out.
std::wstring PopupFontFamilyName();

}  // namespace notify
