// The scroller's zoom maps, zoomed window and glow rings.
#include <gtest/gtest.h>

#include "image/image.h"
#include "part_show_support.h"
#include "parts/sprite_add.h"
#include "parts/text_scroll.h"

namespace {

using namespace text_scroll;

constexpr double kThetaStep = 0.03490658336215549;  // the scroller's two degrees

TEST(TextScroll, MapsAtTheZoomExtremes) {
    int32_t columns[320], rows[240];
    // First frame: theta 0, s = 0.9.
    BuildZoomMaps(ZoomFactor(0.0), columns, rows);
    EXPECT_EQ(columns[0], 16);
    EXPECT_EQ(columns[160], 160);
    EXPECT_EQ(columns[319], 303);
    EXPECT_EQ(rows[0], 12);
    EXPECT_EQ(rows[239], 227);

    // The 46th frame: theta is 45 steps of two degrees, sin(theta) just short of 1, s = 0.8.
    double theta = 0.0;
    for (int i = 0; i < 45; ++i) theta = theta + kThetaStep;
    const double s = ZoomFactor(theta);
    EXPECT_NEAR(s, 0.8, 1e-6);
    BuildZoomMaps(s, columns, rows);
    EXPECT_EQ(columns[0], 32);
    EXPECT_EQ(columns[319], 287);
    EXPECT_EQ(rows[0], 24);
    EXPECT_EQ(rows[239], 215);

    // At the other end s = 0.9999999776482582, just short of 1: right of and below the centre
    // every entry falls one short of the identity.
    BuildZoomMaps(ZoomFactor(-1.5707963267948966), columns, rows);
    for (int i = 0; i < 320; ++i) ASSERT_EQ(columns[i], i <= 160 ? i : i - 1) << i;
    for (int i = 0; i < 240; ++i) ASSERT_EQ(rows[i], i <= 120 ? i : i - 1) << i;
}

TEST(TextScroll, WindowIsReadThroughTheMaps) {
    Image strip(320, 1680, 16);
    uint16_t* text = reinterpret_cast<uint16_t*>(strip.pixels);
    for (int r = 0; r < 1680; ++r)
        for (int c = 0; c < 320; ++c) text[r * 320 + c] = static_cast<uint16_t>(r * 37 + c);
    Image frame(320, 240, 16);
    const uint16_t* shown = reinterpret_cast<const uint16_t*>(frame.pixels);

    int32_t columns[320], rows[240];
    BuildZoomMaps(ZoomFactor(0.0), columns, rows);
    CopyZoomedWindow(frame, strip, 1440, columns, rows);
    EXPECT_EQ(shown[0], text[(1440 + 12) * 320 + 16]);
    EXPECT_EQ(shown[239 * 320 + 319], text[(1440 + 227) * 320 + 303]);
    EXPECT_EQ(shown[100 * 320 + 7], text[(1440 + rows[100]) * 320 + columns[7]]);

    // A window reaching past the strip's last row is not drawn.
    Image untouched(320, 240, 16);
    for (int i = 0; i < 240; ++i) rows[i] = i;
    CopyZoomedWindow(untouched, strip, 1441, columns, rows);
    for (int i = 0; i < 320 * 240 * 2; ++i) ASSERT_EQ(untouched.pixels[i], 0) << i;
}

TEST(TextScroll, RingsTurnInsideTheFrame) {
    int32_t xs[kRingSprites], ys[kRingSprites];
    RingPositions(0.0, xs, ys);
    // Ring 1 starts at its right end, passes its top and reaches its left end; the angles are
    // single-precision sums, a little short of the quarter turns, and the truncations show it.
    EXPECT_EQ(xs[0], 244);
    EXPECT_EQ(ys[0], 30);
    EXPECT_EQ(xs[2], 144);
    EXPECT_EQ(ys[2], 5);
    EXPECT_EQ(xs[4], 44);
    EXPECT_EQ(ys[4], 29);
    EXPECT_EQ(xs[6], 143);
    // Ring 6 is the same ellipse 150 rows lower.
    EXPECT_EQ(xs[40], 244);
    EXPECT_EQ(ys[40], 180);
    EXPECT_EQ(ys[46], 204);

    double theta = 0.0;
    for (int frame = 0; frame < 400; ++frame) {
        RingPositions(theta, xs, ys);
        for (int i = 0; i < kRingSprites; ++i) {
            ASSERT_GE(xs[i], 44);
            ASSERT_LE(xs[i], 244);
            ASSERT_GE(ys[i], 5);
            ASSERT_LE(ys[i], 205);
        }
        theta = theta + kThetaStep;
    }
}

}  // namespace

namespace {

using show_support::Bgr;

// Resource 113 stand-in: each pixel tells its row (red and green fields) and column (blue).
Bgr StripPixel(int x, int y) {
    return {static_cast<uint8_t>((x & 31) << 3), static_cast<uint8_t>((y & 63) << 2),
            static_cast<uint8_t>((y >> 6) << 3)};
}
uint16_t StripValue(int x, int y) {
    return show_support::To565(StripPixel(x, y));
}

TEST(TextScrollPart, ScrollsOneRowAFrameAndStopsAt1440) {
    show_support::HeadlessShow show;
    show_support::Register(113, show_support::Tga24(320, 1680, StripPixel));
    // Resource 115 stand-in: a faint square glow adding one step to every channel.
    show_support::Register(115, show_support::Tga24(32, 32, [](int, int) { return Bgr{8, 4, 8}; }));
    TextScrollPart& part = textScrollPart;
    EXPECT_FRESH_LOAD(part, frame, show.display);
    const uint16_t* frame = reinterpret_cast<const uint16_t*>(part.frame->pixels);

    // First frame: theta 0, scroll 0, the rings added over the zoomed window.
    part.Render(mainWindow, show.display, 1120);
    Image expected(320, 240, 16);
    int32_t columns[320], rows[240];
    BuildZoomMaps(ZoomFactor(0.0), columns, rows);
    CopyZoomedWindow(expected, *part.strip, 0, columns, rows);
    int32_t xs[kRingSprites], ys[kRingSprites];
    RingPositions(0.0, xs, ys);
    for (int i = 0; i < kRingSprites; ++i) AddSprite(expected, xs[i], ys[i], *part.sprite);
    EXPECT_EQ(show_support::Pixels(*part.frame), show_support::Pixels(expected));
    EXPECT_EQ(frame[0], StripValue(16, 12));
    EXPECT_EQ(frame[5 * 320 + 144], StripValue(columns[144], rows[5]) + 0x0821);

    // The corners are never under a ring: they show the strip through the maps of that frame.
    for (int k = 1; k < 1500; ++k) {
        part.Render(mainWindow, show.display, 1120 + k / 6);
        const int scroll = k < 1440 ? k : 1440;
        ASSERT_EQ(frame[0], StripValue(part.columnMap[0], scroll + part.rowMap[0])) << k;
        ASSERT_EQ(frame[239 * 320 + 319],
                  StripValue(part.columnMap[319], scroll + part.rowMap[239]))
            << k;
    }

    part.Present(mainWindow, show.display, 1370);
    int width = 0, height = 0;
    EXPECT_EQ(testkit::VisibleFrame(&width, &height), show_support::Pixels(*part.frame));
    part.Unload(mainWindow, show.display);
    EXPECT_EQ(part.frame, nullptr);
}

}  // namespace
