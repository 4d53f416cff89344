// Saturating additive sprites shared by the trails part and the scroller.
#include <gtest/gtest.h>

#include "image/image.h"
#include "parts/sprite_add.h"
#include "image/pixel_layout.h"

namespace {

void Use565() {
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
}
void Use555() {
    PixelLayout = {0x7C00, 0x03E0, 0x001F, 5, 5, 5};
}

uint16_t& At(Image& image, int x, int y) {
    return reinterpret_cast<uint16_t*>(image.pixels + y * image.bytesPerRow)[x];
}

void Fill(Image& image, uint16_t value) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) At(image, x, y) = value;
}

TEST(SpriteAdd, EachChannelSaturatesOnItsOwn) {
    Use565();
    EXPECT_EQ(AddSaturated(0xFFFF, 0x1234), 0xFFFF);
    EXPECT_EQ(AddSaturated(0x07E0, 0xF800), 0xFFE0);  // green over red gives yellow
    EXPECT_EQ(AddSaturated(0x0000, 0xABCD), 0xABCD);
    // Red already full stays full; green 20 + 50 stops at 63; blue 3 + 4 adds.
    EXPECT_EQ(AddSaturated((2 << 11) | (50 << 5) | 4, (31 << 11) | (20 << 5) | 3),
              (31 << 11) | (63 << 5) | 7);
    // A carry out of blue must not reach green.
    EXPECT_EQ(AddSaturated(0x0010, 0x0010), 0x001F);

    Use555();
    EXPECT_EQ(AddSaturated(0x03E0, 0x7C00), 0x7FE0);
    EXPECT_EQ(AddSaturated((16 << 10) | (16 << 5) | 16, (16 << 10) | (1 << 5) | 15),
              (31 << 10) | (17 << 5) | 31);
}

TEST(SpriteAdd, DrawsTheWholeSpriteAtItsPlace) {
    Use565();
    Image frame(320, 240, 16);
    Image sprite(32, 32, 16);
    Fill(frame, 0x0841);
    At(sprite, 0, 0) = 0x0001;
    At(sprite, 31, 0) = 0x0020;
    At(sprite, 0, 31) = 0x0800;
    At(sprite, 31, 31) = 0xFFFF;

    AddSprite(frame, 288, 208, sprite);  // flush with the bottom-right corner
    EXPECT_EQ(At(frame, 288, 208), 0x0842);
    EXPECT_EQ(At(frame, 319, 208), 0x0861);
    EXPECT_EQ(At(frame, 288, 239), 0x1041);
    EXPECT_EQ(At(frame, 319, 239), 0xFFFF);
    EXPECT_EQ(At(frame, 287, 208), 0x0841);
    EXPECT_EQ(At(frame, 289, 209), 0x0841);  // black sprite pixels leave the frame alone
}

TEST(SpriteAdd, ASpriteThatWouldLeaveTheFrameIsNotDrawnAtAll) {
    Use565();
    Image frame(320, 240, 16);
    Image sprite(32, 32, 16);
    Fill(sprite, 0xFFFF);
    const int places[][2] = {{289, 0}, {0, 209}, {-1, 10}, {10, -1}, {2147483647, 0}};
    for (const auto& place : places) AddSprite(frame, place[0], place[1], sprite);
    for (int i = 0; i < 320 * 240 * 2; ++i) ASSERT_EQ(frame.pixels[i], 0) << i;

    Image empty;
    AddSprite(frame, 10, 10, empty);  // a picture that failed to load draws nothing
    for (int i = 0; i < 320 * 240 * 2; ++i) ASSERT_EQ(frame.pixels[i], 0) << i;
}

}  // namespace
