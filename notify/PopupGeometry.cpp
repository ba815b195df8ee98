#include "notify/PopupGeometry.h"

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

CPopupLayout LayOutPopup(int width, int height, bool hasIcon)
{
    CPopupLayout layout{};
    layout.textMargin = hasIcon ? 59 : 27;
    layout.outline = {0, 0, width - 1, height - 1};
    layout.fill = {1, 1, width - 1, height - 1};
    layout.gradient = {4, 4, width - 7, height - 7};
    layout.title = {4, 13, width - 7, height - 7};
    layout.text = {layout.textMargin + 4, 39, (width - 7) - layout.textMargin - 27, 32};
    return layout;
}

}  // namespace notify
