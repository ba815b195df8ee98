#pragma once
// Pixel figures of the user interface are written for 96 DPI; these scale
// them to the DPI of the window they are drawn in. Kept free of the platform
// so the arithmetic is checked without a screen.

namespace util {

constexpr int kBaseDpi = 96;

// The figure at the given DPI, rounded to the nearest pixel (halves away
// from zero, so a figure and its negative scale alike). A DPI that no
// display reports (zero, negative) leaves the figure as it is.
int ScaleForDpi(int value, int dpi);
// The same for a figure with a fraction (a font size in pixels).
double ScaleForDpi(double value, int dpi);

// The size of the icon image to load for an icon designed at baseSize: the
// largest of the drawn sizes (100, 125, 150 and 200 per cent) that is not
// larger than the scaled size, so an icon is never stretched; between two
// drawn sizes the smaller is kept, and below 96 DPI the base size.
int IconSizeForDpi(int baseSize, int dpi);

// The drawn sizes of an icon designed at baseSize, smallest first.
constexpr int kIconScaleCount = 4;
int IconSizeAt(int baseSize, int scaleIndex);

}  // namespace util
