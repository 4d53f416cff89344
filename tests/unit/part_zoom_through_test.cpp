// The zoom-through part: the dying wave and the magnification that lets the backdrop through.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "image/image.h"
#include "parts/zoom_through.h"

namespace {

uint16_t* Pixels(Image& image) {
    return reinterpret_cast<uint16_t*>(image.pixels);
}

// Every picture pixel non-zero and telling its place.
void FillPicture(Image& picture) {
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x)
            Pixels(picture)[y * 320 + x] = static_cast<uint16_t>(y * 320 + x + 1);
    }
}

TEST(ZoomThroughWave, FirstFrameSwingsTwentyRows) {
    int32_t wave[320];
    zoomthrough::BuildWave(wave, 0.0, 0);
    int32_t low = 0, high = 0;
    for (int32_t w : wave) {
        low = std::min(low, w);
        high = std::max(high, w);
    }
    EXPECT_EQ(high, 19);  // sin never reaches exactly 1 at these columns
    EXPECT_EQ(low, -19);
    EXPECT_EQ(wave[0], 0);
    // Column 16 at phase 0: sin(1.6000000238418579) * 20.
    EXPECT_EQ(wave[16], 19);
    // Column 5: 0.1f widened, times 5, gives sin(0.50000000745) * 20 = 9.588...
    EXPECT_EQ(wave[5], 9);
}

TEST(ZoomThroughWave, LastWaveFrameIsFlat) {
    int32_t wave[320];
    for (double phase : {0.0, 1.0, 2.5, 40.0}) {
        zoomthrough::BuildWave(wave, phase, 19);
        for (int x = 0; x < 320; ++x) ASSERT_EQ(wave[x], 0) << phase << " " << x;
    }
}

TEST(ZoomThroughWave, ShiftsColumnsAndBlackensWhatFallsOutside) {
    Image frame(320, 240, 16), picture(320, 240, 16);
    FillPicture(picture);
    int32_t wave[320] = {};
    wave[1] = 5;
    wave[2] = -7;
    wave[3] = 240;
    zoomthrough::DrawWave(frame, picture, wave);
    const uint16_t* f = Pixels(frame);
    const uint16_t* p = Pixels(picture);
    EXPECT_EQ(f[10 * 320 + 0], p[10 * 320 + 0]);
    EXPECT_EQ(f[10 * 320 + 1], p[15 * 320 + 1]);
    EXPECT_EQ(f[234 * 320 + 1], p[239 * 320 + 1]);
    EXPECT_EQ(f[235 * 320 + 1], 0);
    EXPECT_EQ(f[239 * 320 + 1], 0);
    EXPECT_EQ(f[6 * 320 + 2], 0);
    EXPECT_EQ(f[7 * 320 + 2], p[0 * 320 + 2]);
    for (int y = 0; y < 240; ++y) ASSERT_EQ(f[y * 320 + 3], 0) << y;
}

TEST(ZoomThroughMaps, StayInsideTheFrameForEveryZoomDownToZero) {
    int32_t columns[320], rows[240];
    for (double zoom = 1.0; zoom >= 0.0; zoom -= 0.01) {
        zoomthrough::BuildZoomMaps(columns, rows, zoom);
        for (int32_t c : columns) ASSERT_TRUE(c >= 0 && c <= 319) << zoom;
        for (int32_t r : rows) ASSERT_TRUE(r >= 0 && r <= 239) << zoom;
    }
    zoomthrough::BuildZoomMaps(columns, rows, 1.0);
    for (int i = 0; i < 320; ++i) EXPECT_EQ(columns[i], i);
    for (int i = 0; i < 240; ++i) EXPECT_EQ(rows[i], i);
    zoomthrough::BuildZoomMaps(columns, rows, 0.0);
    for (int i = 0; i < 320; ++i) EXPECT_EQ(columns[i], 160);
    for (int i = 0; i < 240; ++i) EXPECT_EQ(rows[i], 120);
    // Truncation toward zero on both sides of the centre.
    zoomthrough::BuildZoomMaps(columns, rows, 0.5);
    EXPECT_EQ(columns[0], 80);
    EXPECT_EQ(columns[159], 159);  // 159.5 truncated
    EXPECT_EQ(columns[319], 239);  // 239.5 truncated
    EXPECT_EQ(rows[1], 60);        // 60.5 truncated
}

TEST(ZoomThroughDraw, BlackPicturePixelsShowTheBackdrop) {
    Image frame(320, 240, 16), picture(320, 240, 16), backdrop(320, 240, 16);
    FillPicture(picture);
    Pixels(picture)[50 * 320 + 60] = 0;
    Pixels(picture)[120 * 320 + 160] = 0;
    for (int i = 0; i < 320 * 240; ++i) Pixels(backdrop)[i] = static_cast<uint16_t>(0x8000 | i);
    int32_t columns[320], rows[240];
    zoomthrough::BuildZoomMaps(columns, rows, 1.0);
    zoomthrough::DrawZoomThrough(frame, picture, backdrop, columns, rows);
    for (int i = 0; i < 320 * 240; ++i) {
        const uint16_t expected =
            Pixels(picture)[i] != 0 ? Pixels(picture)[i] : Pixels(backdrop)[i];
        ASSERT_EQ(Pixels(frame)[i], expected) << i;
    }
    // At zoom 0 every pixel samples the black centre: the backdrop shows whole.
    zoomthrough::BuildZoomMaps(columns, rows, 0.0);
    zoomthrough::DrawZoomThrough(frame, picture, backdrop, columns, rows);
    for (int i = 0; i < 320 * 240; ++i) ASSERT_EQ(Pixels(frame)[i], Pixels(backdrop)[i]) << i;
}

TEST(ZoomThroughDraw, RefusesMapsOutsideThePicture) {
    Image frame(320, 240, 16), picture(320, 240, 16), backdrop(320, 240, 16);
    FillPicture(picture);
    int32_t columns[320], rows[240];
    zoomthrough::BuildZoomMaps(columns, rows, 1.5);  // reaches -80 and 399
    zoomthrough::DrawZoomThrough(frame, picture, backdrop, columns, rows);
    for (int i = 0; i < 320 * 240; ++i) ASSERT_EQ(Pixels(frame)[i], 0) << i;
    Image missing;  // a picture whose resource was missing
    zoomthrough::BuildZoomMaps(columns, rows, 1.0);
    zoomthrough::DrawZoomThrough(frame, missing, backdrop, columns, rows);
    int32_t wave[320] = {};
    zoomthrough::DrawWave(frame, missing, wave);
    for (int i = 0; i < 320 * 240; ++i) ASSERT_EQ(Pixels(frame)[i], 0) << i;
}

}  // namespace

namespace {

TEST(ZoomThroughZoom, ShrinksByTheCosineAndStopsAtZero) {
    // Zoom frame k uses the zoom left by frame k - 1; frame 1 uses the starting 1.0.
    double zoom = 1.0, angle = 0.0;
    std::vector<double> used;
    for (int k = 1; k <= 200; ++k) {
        used.push_back(zoom);
        zoomthrough::AdvanceZoom(zoom, angle);
    }
    EXPECT_EQ(used[0], 1.0);
    EXPECT_EQ(used[1], 1.0);  // cos(0)
    EXPECT_EQ(used[2], std::cos(0.008726646111111111));
    EXPECT_GT(used[181], 0.0);  // frame 182
    EXPECT_LT(used[181], 1e-7);
    EXPECT_NEAR(used[181], 2.68e-8, 0.01e-8);
    for (int k = 183; k <= 200; ++k) EXPECT_EQ(used[k - 1], 0.0) << k;
}

}  // namespace
