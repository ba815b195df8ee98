#include "notify/PopupGeometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace notify {
std::ostream& operator<<(std::ostream& os, const CPopupRect& rc)
{
    return os << "(" << rc.left << ", " << rc.top << ")-(" << rc.right << ", " << rc.bottom << ")";
}
std::ostream& operator<<(std::ostream& os, const CPopupBox& box)
{
    return os << "(" << box.x << ", " << box.y << ", " << box.width << ", " << box.height << ")";
}
}  // namespace notify

namespace {

using notify::CPopupBox;
using notify::CPopupRect;

TEST(PopupPlacement, EdgesMapToModesAndUnknownEdgesActAsBottom)
{
    EXPECT_EQ(notify::PlacementForEdge(notify::kEdgeLeft), notify::kPlaceRightOfLeftTaskbar);
    EXPECT_EQ(notify::PlacementForEdge(notify::kEdgeTop), notify::kPlaceBelowTopTaskbar);
    EXPECT_EQ(notify::PlacementForEdge(notify::kEdgeRight), notify::kPlaceLeftOfRightTaskbar);
    EXPECT_EQ(notify::PlacementForEdge(notify::kEdgeBottom), notify::kPlaceAboveBottomTaskbar);
    EXPECT_EQ(notify::PlacementForEdge(4), notify::kPlaceAboveBottomTaskbar);
    EXPECT_EQ(notify::PlacementForEdge(0xFFFFFFFFu), notify::kPlaceAboveBottomTaskbar);
    // A mode out of range is placed as mode 0.
    const CPopupRect t{0, 1040, 1920, 1080};
    EXPECT_EQ(notify::PlacePopup(7, t, 400, 100, true), notify::PlacePopup(0, t, 400, 100, true));
}

struct CPlacementCase {
    unsigned edge;
    CPopupRect taskbar;
    CPopupRect full;
    CPopupRect start;
};

TEST(PopupPlacement, FourModesFullyShownAndAtTheStartOfASlide)
{
    const CPlacementCase cases[] = {
        // Bottom taskbar of a 1920 x 1080 screen: right-aligned, above it.
        {notify::kEdgeBottom, {0, 1040, 1920, 1080}, {1520, 940, 1920, 1040}, {1520, 1040, 1920, 1040}},
        // Right taskbar: left of it, bottom-aligned.
        {notify::kEdgeRight, {1860, 0, 1920, 1080}, {1460, 980, 1860, 1080}, {1460, 1080, 1860, 1080}},
        // Left taskbar: right of it, bottom-aligned.
        {notify::kEdgeLeft, {0, 0, 60, 1080}, {60, 980, 460, 1080}, {60, 1080, 460, 1080}},
        // Top taskbar: right-aligned, below it, grows downwards from its bottom.
        {notify::kEdgeTop, {0, 0, 1920, 40}, {1520, 40, 1920, 140}, {1520, 40, 1920, 40}},
    };
    for (const CPlacementCase& c : cases) {
        SCOPED_TRACE(c.edge);
        const int mode = notify::PlacementForEdge(c.edge);
        EXPECT_EQ(notify::PlacePopup(mode, c.taskbar, 400, 100, true), c.full);
        EXPECT_EQ(notify::PlacePopup(mode, c.taskbar, 400, 100, false), c.start);
        // The moving edge reaches the fully shown rectangle at the end of the slide
        // and the start rectangle at its beginning.
        EXPECT_EQ(notify::MoveEdge(mode, c.start, c.taskbar, 100, 1.0), c.full);
        EXPECT_EQ(notify::MoveEdge(mode, c.full, c.taskbar, 100, 0.0), c.start);
    }
}

TEST(PopupPlacement, ShellWithoutTaskbarLeavesTheZeroedRecordAboveTheScreen)
{
    const CPopupRect none{};
    const int mode = notify::PlacementForEdge(notify::kEdgeLeft);
    EXPECT_EQ(notify::PlacePopup(mode, none, 400, 100, true), (CPopupRect{0, -100, 400, 0}));
    EXPECT_EQ(notify::PlacePopup(mode, none, 400, 100, false), (CPopupRect{0, 0, 400, 0}));
    // Negative coordinates are cut toward zero too: 0 - 100 * 0.333 = -33.3 -> -33.
    EXPECT_EQ(notify::MoveEdge(mode, CPopupRect{0, 0, 400, 0}, none, 100, 0.333).top, -33);
}

TEST(PopupSlide, BottomTaskbarGrowsUpwardsOverTheSlideTime)
{
    const CPopupRect t{0, 1040, 1920, 1080};
    const CPopupRect start = notify::PlacePopup(0, t, 400, 100, false);
    int lastTop = start.top;
    for (std::uint32_t ms = 0; ms <= 500; ms += 50) {
        const notify::CSlideProgress p = notify::SlideProgress(ms, 500, true);
        EXPECT_FALSE(p.finished) << ms;
        const CPopupRect rc = notify::MoveEdge(0, start, t, 100, p.visible);
        EXPECT_LE(rc.top, lastTop);
        EXPECT_EQ(rc.bottom, 1040);
        EXPECT_EQ(rc.left, 1520);
        EXPECT_EQ(rc.right, 1920);
        lastTop = rc.top;
    }
    EXPECT_EQ(lastTop, 940);
    // 1040 - 100 * 0.25 = 1015 exactly; 1040 - 100 * 0.333 = 1006.7, cut to 1006.
    EXPECT_EQ(notify::MoveEdge(0, start, t, 100, notify::SlideProgress(125, 500, true).visible).top, 1015);
    EXPECT_EQ(notify::MoveEdge(0, start, t, 100, 0.333).top, 1006);
}

TEST(PopupSlide, VisibleFractionAndTheEndOfEachSlide)
{
    notify::CSlideProgress p = notify::SlideProgress(250, 500, true);
    EXPECT_DOUBLE_EQ(p.visible, 0.5);
    EXPECT_FALSE(p.finished);
    p = notify::SlideProgress(100, 500, false);
    EXPECT_DOUBLE_EQ(p.visible, 0.8);
    // The step that reaches the full time is not yet the end; the one after is.
    EXPECT_FALSE(notify::SlideProgress(500, 500, true).finished);
    p = notify::SlideProgress(501, 500, true);
    EXPECT_TRUE(p.finished);
    EXPECT_DOUBLE_EQ(p.visible, 1.0);
    p = notify::SlideProgress(5000, 500, false);
    EXPECT_TRUE(p.finished);
    EXPECT_DOUBLE_EQ(p.visible, 0.0);
}

TEST(PopupSlide, ZeroOrNegativeSlideTimeEndsAtOnceAndAWrappedClockStillCounts)
{
    for (int slide : {0, -5}) {
        EXPECT_TRUE(notify::SlideProgress(0, slide, true).finished);
        EXPECT_DOUBLE_EQ(notify::SlideProgress(0, slide, true).visible, 1.0);
        EXPECT_DOUBLE_EQ(notify::SlideProgress(0, slide, false).visible, 0.0);
    }
    // Started 10 ms before the 32-bit millisecond clock wrapped, now 40 ms after.
    const std::uint32_t start = 0xFFFFFFF6u, now = 40u;
    const notify::CSlideProgress p = notify::SlideProgress(now - start, 500, true);
    EXPECT_FALSE(p.finished);
    EXPECT_DOUBLE_EQ(p.visible, 0.1);
}

TEST(PopupSlide, TopTaskbarMovesTheBottomEdgeAndSideTaskbarsTheTop)
{
    const CPopupRect top{0, 0, 1920, 40};
    const CPopupRect topStart = notify::PlacePopup(3, top, 400, 100, false);
    const CPopupRect half = notify::MoveEdge(3, topStart, top, 100, 0.5);
    EXPECT_EQ(half, (CPopupRect{1520, 40, 1920, 90}));

    const CPopupRect right{1860, 0, 1920, 1080};
    const CPopupRect rightFull = notify::PlacePopup(1, right, 400, 100, true);
    // Sliding out: three quarters gone.
    EXPECT_EQ(notify::MoveEdge(1, rightFull, right, 100, 0.25), (CPopupRect{1460, 1055, 1860, 1080}));
}

TEST(PopupLayout, BoxesOfA400By100PopupWithAndWithoutIcon)
{
    const notify::CPopupLayout withIcon = notify::LayOutPopup(400, 100, true);
    EXPECT_EQ(withIcon.textMargin, 59);
    EXPECT_EQ(withIcon.text, (CPopupBox{63, 39, 307, 32}));
    EXPECT_EQ(withIcon.outline, (CPopupBox{0, 0, 399, 99}));
    EXPECT_EQ(withIcon.fill, (CPopupBox{1, 1, 399, 99}));
    EXPECT_EQ(withIcon.gradient, (CPopupBox{4, 4, 393, 93}));
    EXPECT_EQ(withIcon.title, (CPopupBox{4, 13, 393, 93}));

    const notify::CPopupLayout plain = notify::LayOutPopup(400, 100, false);
    EXPECT_EQ(plain.textMargin, 27);
    EXPECT_EQ(plain.text, (CPopupBox{31, 39, 339, 32}));
    // The title does not depend on the icon: it stays centred either way.
    EXPECT_EQ(plain.title, withIcon.title);
}

TEST(PopupLayout, EveryFigureScalesWithTheDpiAndTheIconStaysLeftOfTheText)
{
    struct {
        int dpi, width, height;
    } scales[] = {{96, 400, 100}, {120, 500, 125}, {144, 600, 150}, {192, 800, 200}};
    for (const auto& scale : scales) {
        SCOPED_TRACE(scale.dpi);
        const notify::CPopupLayout layout = notify::LayOutPopup(scale.width, scale.height, true, scale.dpi);
        const double factor = scale.dpi / 96.0;
        EXPECT_NEAR(layout.icon.width, 32 * factor, 0.5);
        EXPECT_EQ(layout.icon.width, layout.icon.height);
        EXPECT_NEAR(layout.icon.x, 27 * factor, 0.5);
        EXPECT_NEAR(layout.text.y, 39 * factor, 0.5);
        EXPECT_NEAR(layout.title.y, 13 * factor, 0.5);
        EXPECT_DOUBLE_EQ(layout.titlePixels, 10.0 * scale.dpi / 72.0);
        EXPECT_DOUBLE_EQ(layout.textPixels, 8.0 * scale.dpi / 72.0);
        // The icon lies inside the popup, left of the text and level with it.
        EXPECT_LE(layout.icon.x + layout.icon.width, layout.text.x);
        EXPECT_EQ(layout.icon.y, layout.text.y);
        EXPECT_LE(layout.icon.y + layout.icon.height, layout.gradient.y + layout.gradient.height);
        // The text box stays inside the gradient, with room for two lines.
        EXPECT_LE(layout.text.x + layout.text.width, layout.gradient.x + layout.gradient.width);
        EXPECT_LE(layout.text.y + layout.text.height, layout.gradient.y + layout.gradient.height);
        EXPECT_GE(layout.text.height, 2 * layout.textPixels);
        // Below the title's line.
        EXPECT_GE(layout.text.y, layout.title.y + layout.titlePixels);
    }
    // At 96 DPI the default is the layout as it always was.
    const notify::CPopupLayout base = notify::LayOutPopup(400, 100, true);
    EXPECT_EQ(base.text, (CPopupBox{63, 39, 307, 32}));
    EXPECT_EQ(base.icon, (CPopupBox{27, 39, 32, 32}));
}

TEST(PopupMonitor, TheTaskbarSideIsWhereTheWorkAreaFallsShortOfTheMonitor)
{
    // A 1920 x 1080 monitor with the taskbar at the bottom, and a second one
    // of 1280 x 1024 right of it with its taskbar on the left.
    const CPopupRect first{0, 0, 1920, 1080}, firstWork{0, 0, 1920, 1040};
    const CPopupRect second{1920, 0, 3200, 1024}, secondWork{1980, 0, 3200, 1024};

    notify::CRiseEdge rise = notify::RiseEdgeOfMonitor(first, firstWork, notify::kEdgeBottom);
    EXPECT_EQ(rise.edge, notify::kEdgeBottom);
    EXPECT_EQ(rise.strip, (CPopupRect{0, 1040, 1920, 1080}));
    EXPECT_EQ(notify::PlacePopup(notify::PlacementForEdge(rise.edge), rise.strip, 400, 100, true),
              (CPopupRect{1520, 940, 1920, 1040}));

    // The host on the second monitor: the popup rises there, right of its
    // left taskbar, whatever edge the shell names for the primary one.
    rise = notify::RiseEdgeOfMonitor(second, secondWork, notify::kEdgeBottom);
    EXPECT_EQ(rise.edge, notify::kEdgeLeft);
    EXPECT_EQ(rise.strip, (CPopupRect{1920, 0, 1980, 1024}));
    const CPopupRect full = notify::PlacePopup(notify::PlacementForEdge(rise.edge), rise.strip, 600, 150, true);
    EXPECT_EQ(full, (CPopupRect{1980, 874, 2580, 1024}));
    EXPECT_GE(full.left, second.left);
    EXPECT_LE(full.right, second.right);

    // Top and right taskbars of a monitor left of and above the primary one.
    const CPopupRect third{-1280, -1024, 0, 0};
    rise = notify::RiseEdgeOfMonitor(third, {-1280, -994, 0, 0}, notify::kEdgeBottom);
    EXPECT_EQ(rise.edge, notify::kEdgeTop);
    EXPECT_EQ(rise.strip, (CPopupRect{-1280, -1024, 0, -994}));
    rise = notify::RiseEdgeOfMonitor(third, {-1280, -1024, -60, 0}, notify::kEdgeBottom);
    EXPECT_EQ(rise.edge, notify::kEdgeRight);
    EXPECT_EQ(rise.strip, (CPopupRect{-60, -1024, 0, 0}));
}

TEST(PopupMonitor, AHiddenTaskbarLetsThePopupRiseFromTheScreenEdge)
{
    const CPopupRect monitor{1920, 0, 3200, 1024};
    // The work area is the whole monitor: the popup rises from the edge the
    // shell names for its taskbar, the very edge of the screen.
    notify::CRiseEdge rise = notify::RiseEdgeOfMonitor(monitor, monitor, notify::kEdgeBottom);
    EXPECT_EQ(rise.edge, notify::kEdgeBottom);
    EXPECT_EQ(rise.strip, (CPopupRect{1920, 1024, 3200, 1024}));
    EXPECT_EQ(notify::PlacePopup(notify::kPlaceAboveBottomTaskbar, rise.strip, 400, 100, true),
              (CPopupRect{2800, 924, 3200, 1024}));
    rise = notify::RiseEdgeOfMonitor(monitor, monitor, notify::kEdgeTop);
    EXPECT_EQ(rise.edge, notify::kEdgeTop);
    EXPECT_EQ(notify::PlacePopup(notify::kPlaceBelowTopTaskbar, rise.strip, 400, 100, true),
              (CPopupRect{2800, 0, 3200, 100}));
    rise = notify::RiseEdgeOfMonitor(monitor, monitor, notify::kEdgeRight);
    EXPECT_EQ(rise.strip, (CPopupRect{3200, 0, 3200, 1024}));
    EXPECT_EQ(notify::PlacePopup(notify::kPlaceLeftOfRightTaskbar, rise.strip, 400, 100, true),
              (CPopupRect{2800, 924, 3200, 1024}));
    // An edge no shell reports counts as the bottom.
    rise = notify::RiseEdgeOfMonitor(monitor, monitor, 9);
    EXPECT_EQ(rise.edge, notify::kEdgeBottom);
    // The shell's side wins where the work area is short on two sides.
    rise = notify::RiseEdgeOfMonitor(monitor, {1920, 40, 3200, 984}, notify::kEdgeTop);
    EXPECT_EQ(rise.edge, notify::kEdgeTop);
    EXPECT_EQ(rise.strip, (CPopupRect{1920, 0, 3200, 40}));
}

}  // namespace
