#pragma once
// Where the notification popup sits beside the taskbar, how far its moving
// edge has travelled during a slide, and where its parts are drawn. Kept free
// of the platform so the arithmetic is checked without a screen.
#include <cstdint>

namespace notify {

// Screen or client pixels, right and bottom exclusive, as the platform's RECT.
struct CPopupRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
inline bool operator==(const CPopupRect& a, const CPopupRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The taskbar's edge as the shell reports it.
enum : unsigned { kEdgeLeft = 0, kEdgeTop = 1, kEdgeRight = 2, kEdgeBottom = 3 };

// Placement modes: which side of the taskbar the popup rises from.
enum : int {
    kPlaceAboveBottomTaskbar = 0,
    kPlaceLeftOfRightTaskbar = 1,
    kPlaceRightOfLeftTaskbar = 2,
    kPlaceBelowTopTaskbar = 3,
};

// An edge the shell should never report places the popup as for a bottom taskbar.
int PlacementForEdge(unsigned edge);

// The edge of one monitor that the popup rises from, and the strip of that
// monitor it rises out of (the popup is placed against the strip as against
// the taskbar).
struct CRiseEdge {
    CPopupRect strip;
    unsigned edge = kEdgeBottom;
};
// The taskbar's side is where the work area falls short of the monitor; the
// side the shell names for its taskbar is looked at first. A monitor whose
// work area is the whole monitor (a taskbar that hides itself, or one on
// another monitor) gives a strip of no thickness at the screen's own edge,
// on the shell's side when that is known, otherwise at the bottom.
CRiseEdge RiseEdgeOfMonitor(const CPopupRect& monitor, const CPopupRect& work, unsigned shellEdge);

// The popup's rectangle fully shown, or at the start of a slide-in: zero
// height on the anchor edge, the taskbar side it grows from.
CPopupRect PlacePopup(int placement, const CPopupRect& taskbar, int width, int height, bool fullyShown);

struct CSlideProgress {
    double visible;  // shown part of the full height, 0..1
    bool finished;   // the slide has run its whole time
};
// Elapsed time is the unsigned difference of two millisecond clock readings,
// so the clock wrapping around does not stall a slide. A slide time of zero
// or less has finished at once.
CSlideProgress SlideProgress(std::uint32_t elapsedMs, int slideTimeMs, bool slidingIn);

// Moves only the moving edge so that the given part of the height shows; the
// other three edges stay where the popup was placed.
CPopupRect MoveEdge(int placement, CPopupRect window, const CPopupRect& taskbar, int height, double visible);

// (x, y, width, height) boxes of the drawing, for a client area of the
// popup's current size. Boxes may come out empty or negative on a window only
// a few pixels high; the painter skips those.
struct CPopupBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
inline bool operator==(const CPopupBox& a, const CPopupBox& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

struct CPopupLayout {
    int textMargin;     // left margin of the text line: past the icon when there is one
    CPopupBox outline;  // black outline; the fill covers its right and bottom lines
    CPopupBox fill;     // solid blue frame
    CPopupBox gradient; // light vertical gradient inside the frame
    CPopupBox title;    // centred bold title, top aligned
    CPopupBox text;     // the link-styled text line, centred vertically
    CPopupBox icon;     // where the icon is drawn, at this size: left of the text line
    double titlePixels; // the title's font size (10 points) in pixels
    double textPixels;  // the text line's font size (8 points) in pixels
};
// Every figure is written for 96 DPI and scaled to the given DPI, fonts
// included, so the texts keep their place beside the icon at every scale.
CPopupLayout LayOutPopup(int width, int height, bool hasIcon, int dpi = 96);

}  // namespace notify
