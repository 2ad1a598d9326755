// The letterbox and the pointer's way back into the view: plain arithmetic, no display.
#include <gtest/gtest.h>

#include "app/ScreenMode.h"

namespace {

TEST(ScreenModeTest, TheViewGetsTheLargestCentredRectangleOfItsShape) {
    // A display of the view's shape is filled: no bars.
    EXPECT_EQ((ViewPort{0, 0, 1024, 768}), letterbox(1024, 768, 800, 600));
    EXPECT_EQ((ViewPort{0, 0, 800, 600}), letterbox(800, 600, 800, 600));
    // Wider: bars left and right; taller: above and below.
    EXPECT_EQ((ViewPort{160, 0, 960, 720}), letterbox(1280, 720, 800, 600));
    EXPECT_EQ((ViewPort{240, 0, 1440, 1080}), letterbox(1920, 1080, 800, 600));
    EXPECT_EQ((ViewPort{0, 32, 1280, 960}), letterbox(1280, 1024, 800, 600));
    // Smaller than the view scales it down; an odd margin leaves its spare pixel on the right.
    EXPECT_EQ((ViewPort{0, 0, 640, 480}), letterbox(640, 480, 800, 600));
    EXPECT_EQ((ViewPort{80, 0, 1440, 1080}), letterbox(1601, 1080, 800, 600));
    // Nothing to fit into, or nothing to fit, is no division by zero.
    EXPECT_EQ((ViewPort{0, 0, 0, 0}), letterbox(0, 0, 800, 600));
    EXPECT_EQ((ViewPort{0, 0, 1024, 768}), letterbox(1024, 768, 0, 600));
}

TEST(ScreenModeTest, WindowPixelsMapBackIntoTheViewClampedAtItsEdges) {
    const ViewPort window{0, 0, 800, 600};
    for (int x : {0, 1, 399, 799})
        EXPECT_EQ(static_cast<uint32_t>(x), windowToView(window, 800, 600, x, 300).x) << x;
    const ViewPort wide = letterbox(1280, 720, 800, 600); // 960 x 720 at x 160: 1.2 times the view
    ViewPoint centre = windowToView(wide, 800, 600, 640, 360);
    EXPECT_EQ(400u, centre.x);
    EXPECT_EQ(300u, centre.y);
    // The new-game button's centre of the view, drawn scaled, comes back to it.
    ViewPoint button = windowToView(wide, 800, 600, 160 + 400 * 6 / 5, 452 * 6 / 5);
    EXPECT_EQ(400u, button.x);
    EXPECT_EQ(452u, button.y);
    // The first and last pixels of the picture, and the bars beside it, land on the view's edges.
    EXPECT_EQ(0u, windowToView(wide, 800, 600, 160, 0).x);
    EXPECT_EQ(799u, windowToView(wide, 800, 600, 1119, 719).x);
    EXPECT_EQ(599u, windowToView(wide, 800, 600, 1119, 719).y);
    EXPECT_EQ(0u, windowToView(wide, 800, 600, 3, 10).x);
    EXPECT_EQ(799u, windowToView(wide, 800, 600, 1279, 10).x);
    EXPECT_EQ(599u, windowToView(wide, 800, 600, 640, 5000).y);
    EXPECT_EQ(0u, windowToView(wide, 800, 600, -40, -40).y);
    // An empty port maps everything to the origin rather than dividing by zero.
    EXPECT_EQ(0u, windowToView(ViewPort{}, 800, 600, 300, 300).x);
}

} // namespace
