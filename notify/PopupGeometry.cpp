#include "notify/PopupGeometry.h"

#include <initializer_list>

#include "util/DpiRules.h"

namespace notify {

int PlacementForEdge(unsigned edge)
{
    switch (edge) {
    case kEdgeLeft:
        return kPlaceRightOfLeftTaskbar;
    case kEdgeTop:
        return kPlaceBelowTopTaskbar;
    case kEdgeRight:
        return kPlaceLeftOfRightTaskbar;
    default:
        return kPlaceAboveBottomTaskbar;
    }
}

namespace {

// The strip between the work area and the monitor on one side; empty when
// the work area reaches that side.
bool StripOnSide(unsigned edge, const CPopupRect& m, const CPopupRect& w, CPopupRect& strip)
{
    switch (edge) {
    case kEdgeLeft:
        strip = {m.left, m.top, w.left, m.bottom};
        return w.left > m.left;
    case kEdgeTop:
        strip = {m.left, m.top, m.right, w.top};
        return w.top > m.top;
    case kEdgeRight:
        strip = {w.right, m.top, m.right, m.bottom};
        return w.right < m.right;
    case kEdgeBottom:
        strip = {m.left, w.bottom, m.right, m.bottom};
        return w.bottom < m.bottom;
    default:
        return false;
    }
}

CPopupRect ScreenEdge(unsigned edge, const CPopupRect& m)
{
    switch (edge) {
    case kEdgeLeft:
        return {m.left, m.top, m.left, m.bottom};
    case kEdgeTop:
        return {m.left, m.top, m.right, m.top};
    case kEdgeRight:
        return {m.right, m.top, m.right, m.bottom};
    default:
        return {m.left, m.bottom, m.right, m.bottom};
    }
}

}  // namespace

CRiseEdge RiseEdgeOfMonitor(const CPopupRect& monitor, const CPopupRect& work, unsigned shellEdge)
{
    CRiseEdge rise;
    if (StripOnSide(shellEdge, monitor, work, rise.strip)) {
        rise.edge = shellEdge;
        return rise;
    }
    for (unsigned edge : {kEdgeBottom, kEdgeTop, kEdgeLeft, kEdgeRight}) {
        if (StripOnSide(edge, monitor, work, rise.strip)) {
            rise.edge = edge;
            return rise;
        }
    }
    rise.edge = shellEdge <= kEdgeBottom ? shellEdge : static_cast<unsigned>(kEdgeBottom);
    rise.strip = ScreenEdge(rise.edge, monitor);
    return rise;
}

CPopupRect PlacePopup(int placement, const CPopupRect& t, int width, int height, bool fullyShown)
{
    const int h = fullyShown ? height : 0;
    switch (placement) {
    case kPlaceLeftOfRightTaskbar:
        return {t.left - width, t.bottom - h, t.left, t.bottom};
    case kPlaceRightOfLeftTaskbar:
        return {t.right, t.bottom - h, t.right + width, t.bottom};
    case kPlaceBelowTopTaskbar:
        return {t.right - width, t.bottom, t.right, t.bottom + h};
    default:
        return {t.right - width, t.top - h, t.right, t.top};
    }
}

CSlideProgress SlideProgress(std::uint32_t elapsedMs, int slideTimeMs, bool slidingIn)
{
    double x = 1.0;
    bool finished = true;
    if (slideTimeMs > 0) {
        x = static_cast<double>(elapsedMs) / static_cast<double>(slideTimeMs);
        finished = x > 1.0;
        if (finished)
            x = 1.0;
    }
    return {slidingIn ? x : 1.0 - x, finished};
}

CPopupRect MoveEdge(int placement, CPopupRect w, const CPopupRect& t, int height, double visible)
{
    const double travel = height * visible;
    // The whole coordinate is cut toward zero, as an integer conversion does.
    switch (placement) {
    case kPlaceLeftOfRightTaskbar:
    case kPlaceRightOfLeftTaskbar:
        w.top = static_cast<int>(t.bottom - travel);
        break;
    case kPlaceBelowTopTaskbar:
        w.bottom = static_cast<int>(t.bottom + travel);
        break;
    default:
        w.top = static_cast<int>(t.top - travel);
        break;
    }
    return w;
}

CPopupLayout LayOutPopup(int width, int height, bool hasIcon, int dpi)
{
    const auto px = [dpi](int value) { return util::ScaleForDpi(value, dpi); };
    CPopupLayout layout{};
    // The icon's square ends where the text's margin begins.
    layout.icon = {px(27), px(39), px(32), px(32)};
    layout.textMargin = hasIcon ? layout.icon.x + layout.icon.width : px(27);
    // The outline stays a hairline, as the window's edge it is.
    layout.outline = {0, 0, width - 1, height - 1};
    layout.fill = {1, 1, width - 1, height - 1};
    layout.gradient = {px(4), px(4), width - px(7), height - px(7)};
    layout.title = {px(4), px(13), width - px(7), height - px(7)};
    layout.text = {layout.textMargin + px(4), px(39), (width - px(7)) - layout.textMargin - px(27), px(32)};
    layout.titlePixels = util::ScaleForDpi(10.0 * util::kBaseDpi / 72.0, dpi);
    layout.textPixels = util::ScaleForDpi(8.0 * util::kBaseDpi / 72.0, dpi);
    return layout;
}

}  // namespace notify
