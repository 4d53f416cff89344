// The rotozoom part: channel halving, the texture walk and its blend, and the schedule.
#include <gtest/gtest.h>

#include <cstdint>

#include "image/image.h"
#include "parts/rotozoom_picture.h"
#include "image/pixel_layout.h"

namespace {

void Use565() {
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
}
void Use555() {
    PixelLayout = {0x7C00, 0x03E0, 0x001F, 5, 5, 5};
}

uint16_t* Pixels(Image& image) {
    return reinterpret_cast<uint16_t*>(image.pixels);
}

// Texel (row, column) carries its own coordinates, so any mix-up of U and V shows.
void FillTexture(Image& texture) {
    for (int row = 0; row < 256; ++row) {
        for (int column = 0; column < 256; ++column) {
            Pixels(texture)[row * 256 + column] = static_cast<uint16_t>(row << 8 | column);
        }
    }
}

TEST(RotozoomHalving, MaskClearsTheTopBitOfEachChannel) {
    Use565();
    EXPECT_EQ(rotozoom::HalvingMask(), 0x7BEF);
    Use555();
    EXPECT_EQ(rotozoom::HalvingMask(), 0xBDEF);
    Use565();
}

TEST(RotozoomHalving, HalvesEveryChannelAndTwoHalvesAddWithoutCarry) {
    Use565();
    Image image(4, 2, 16);
    const uint16_t values[8] = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0821, 0x0000, 0x8410, 0x1234};
    for (int i = 0; i < 8; ++i) Pixels(image)[i] = values[i];
    rotozoom::HalveChannels(image);
    EXPECT_EQ(Pixels(image)[0], 0x7BEF);  // 15, 31, 15
    EXPECT_EQ(Pixels(image)[1], 0x7800);
    EXPECT_EQ(Pixels(image)[2], 0x03E0);
    EXPECT_EQ(Pixels(image)[3], 0x000F);
    EXPECT_EQ(Pixels(image)[4], 0x0000);  // red 1, green 1, blue 1 halve to 0
    EXPECT_EQ(Pixels(image)[6], 0x4208);
    EXPECT_EQ(Pixels(image)[7], (0x1234 >> 1) & 0x7BEF);
    // The largest sum of two halved pixels stays inside 16 bits.
    EXPECT_LT(0x7BEF + 0x7BEF, 0x10000);
}

TEST(RotozoomWalk, ZeroStepsTakeTexelZeroEverywhere) {
    Use565();
    Image frame(320, 240, 16), texture(256, 256, 16), picture(320, 240, 16);
    FillTexture(texture);
    Pixels(texture)[0] = 0x0421;
    for (int i = 0; i < 320 * 240; ++i) Pixels(picture)[i] = static_cast<uint16_t>(i % 0x3000);
    rotozoom::DrawRotozoom(frame, texture, picture, 0, 0);
    for (int i = 0; i < 320 * 240; ++i) {
        ASSERT_EQ(Pixels(frame)[i], 0x0421 + i % 0x3000) << i;
    }
}

TEST(RotozoomWalk, FollowsTheClosedFormModulo256) {
    Use565();
    Image frame(320, 240, 16), texture(256, 256, 16), picture(320, 240, 16);
    FillTexture(texture);
    const int32_t cases[][2] = {{3276, 0}, {-1500, 2900}, {65536 * 3 + 77, -65536 * 2 - 5}};
    for (const auto& c : cases) {
        const int32_t p = c[0], q = c[1];
        rotozoom::DrawRotozoom(frame, texture, picture, p, q);
        for (int y = 0; y < 240; y += 7) {
            for (int x = 0; x < 320; x += 3) {
                const uint32_t u = uint32_t(x + 1) * uint32_t(p) - uint32_t(y - 1) * uint32_t(q);
                const uint32_t v = uint32_t(x + 1) * uint32_t(q) + uint32_t(y + 1) * uint32_t(p);
                const uint32_t row = (v >> 8) & 255, column = (u >> 8) & 255;
                ASSERT_EQ(Pixels(frame)[y * 320 + x], Pixels(texture)[row * 256 + column])
                    << p << " " << q << " at " << x << "," << y;
            }
        }
    }
}

TEST(RotozoomWalk, PairsAddAsThirtyTwoBitWords) {
    // Unhalved pixels carry from the left pixel into the right one, as the 32-bit addition does.
    Image frame(320, 240, 16), texture(256, 256, 16), picture(320, 240, 16);
    Pixels(texture)[0] = 0xFFFF;
    Pixels(picture)[0] = 0x0001;
    Pixels(picture)[1] = 0x0010;
    Pixels(picture)[3] = 0x0001;  // right pixel of the second pair: no carry into the next pair
    rotozoom::DrawRotozoom(frame, texture, picture, 0, 0);
    EXPECT_EQ(Pixels(frame)[0], 0x0000);
    EXPECT_EQ(Pixels(frame)[1], 0x0010);  // 0xFFFF + 0x0010 + carry 1
    EXPECT_EQ(Pixels(frame)[2], 0xFFFF);
    EXPECT_EQ(Pixels(frame)[3], 0x0000);
    EXPECT_EQ(Pixels(frame)[4], 0xFFFF);
}

TEST(RotozoomWalk, WrongSizedImagesAreLeftAlone) {
    Image frame(320, 240, 16), texture(128, 128, 16), picture(320, 240, 16);
    Pixels(frame)[5] = 0x5555;
    rotozoom::DrawRotozoom(frame, texture, picture, 100, 100);
    EXPECT_EQ(Pixels(frame)[5], 0x5555);
    Image empty;
    rotozoom::DrawRotozoom(empty, texture, picture, 100, 100);
}

TEST(RotozoomSchedule, TurningReversesInsideItsWindows) {
    EXPECT_DOUBLE_EQ(rotozoom::AngleStepAt(22), 0.01);
    EXPECT_DOUBLE_EQ(rotozoom::AngleStepAt(39), 0.01);
    EXPECT_DOUBLE_EQ(rotozoom::AngleStepAt(40), -0.01);
    EXPECT_DOUBLE_EQ(rotozoom::AngleStepAt(57), -0.01);
    EXPECT_DOUBLE_EQ(rotozoom::AngleStepAt(58), 0.01);
    EXPECT_DOUBLE_EQ(rotozoom::AngleStepAt(73), 0.01);
    EXPECT_DOUBLE_EQ(rotozoom::AngleStepAt(74), -0.01);
    EXPECT_DOUBLE_EQ(rotozoom::AngleStepAt(91), -0.01);
    EXPECT_DOUBLE_EQ(rotozoom::AngleStepAt(92), 0.01);
}

TEST(RotozoomSchedule, FlashesAtTheReversalsAndOnEvenTimesAtTheEnd) {
    for (int l = 22; l <= 91; ++l) {
        EXPECT_EQ(rotozoom::FlashAt(l), l == 40 || l == 57 || l == 74) << l;
    }
    for (int l = 92; l < 110; ++l) EXPECT_EQ(rotozoom::FlashAt(l), l % 2 == 0) << l;
}

}  // namespace

namespace {

TEST(RotozoomZoom, TurnsAfterItFirstExceedsTheLimit) {
    double zoom = 0.0, step = 0.0002;
    int additions = 0;
    while (step > 0.0) {
        rotozoom::AdvanceZoom(zoom, step);
        ++additions;
        ASSERT_LT(additions, 1000);
    }
    EXPECT_EQ(additions, 251);
    EXPECT_NEAR(zoom, 0.0502, 1e-12);  // drawn once at this value before the zoom falls back
    rotozoom::AdvanceZoom(zoom, step);
    EXPECT_NEAR(zoom, 0.0500, 1e-12);
    // Down through zero (the texture turned by 180 degrees) to just past -0.05, and back.
    int down = 0;
    while (step < 0.0) {
        rotozoom::AdvanceZoom(zoom, step);
        ++down;
        ASSERT_LT(down, 1000);
    }
    EXPECT_LT(zoom, -0.05);
    EXPECT_GT(zoom, -0.0503);
    EXPECT_DOUBLE_EQ(step, 0.0002);
}

}  // namespace
