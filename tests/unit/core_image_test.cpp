// Image buffers, memory accounting and pixel format conversion.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/image.h"
#include "image/numeric.h"
#include "image/pixel_layout.h"

namespace {

void Use565() {
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
}
void Use555() {
    PixelLayout = {0x7C00, 0x03E0, 0x001F, 5, 5, 5};
}

uint16_t Pixel16(const Image& image, int x, int y) {
    const uint8_t* p = image.pixels + y * image.bytesPerRow + 2 * x;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

TEST(ImageMemory, AllocationAndReleaseAreCounted) {
    const int32_t before = imageMemoryTotal;
    {
        Image frame(320, 240, 16);
        EXPECT_EQ(imageMemoryTotal - before, 153600);
        EXPECT_EQ(frame.bytesPerRow, 640);
        for (int i = 0; i < 320 * 240 * 2; ++i) ASSERT_EQ(frame.pixels[i], 0);
        Image narrow8(92, 3, 8), narrow24(92, 3, 24);
        EXPECT_EQ(narrow8.bytesPerRow, 92);
        EXPECT_EQ(narrow24.bytesPerRow, 276);
        EXPECT_EQ(imageMemoryTotal - before, 153600 + 276 + 828);
    }
    EXPECT_EQ(imageMemoryTotal, before);
    Image empty;
    empty.Free();
    EXPECT_EQ(imageMemoryTotal, before);
}

TEST(ImageMemory, ImpossibleSizesObtainNothingAndCountNothing) {
    const int32_t before = imageMemoryTotal;
    Image huge(65535, 65535, 32);  // the byte count does not fit in 32 bits
    EXPECT_EQ(huge.pixels, nullptr);
    Image negative(-4, 10, 16);
    EXPECT_EQ(negative.pixels, nullptr);
    EXPECT_EQ(imageMemoryTotal, before);
}

TEST(ConvertFrom, PaletteTo565KeepsHighBits) {
    Use565();
    Image indices(3, 1, 8), out(3, 1, 16);
    const uint8_t palette[9] = {0xFF, 0x80, 0x00, 0x00, 0x00, 0xFF, 0x08, 0x04, 0x08};
    indices.pixels[0] = 0;
    indices.pixels[1] = 1;
    indices.pixels[2] = 2;
    ASSERT_EQ(out.ConvertFrom(indices, palette), 0);
    EXPECT_EQ(Pixel16(out, 0, 0), 0x041F);
    EXPECT_EQ(Pixel16(out, 1, 0), 0xF800);
    EXPECT_EQ(Pixel16(out, 2, 0), 0x0821);
}

TEST(ConvertFrom, TrueColourTo16In565And555) {
    Image rgb(2, 1, 24), out(2, 1, 16);
    const uint8_t bytes[6] = {0x08, 0x04, 0x08, 0xFF, 0x00, 0xFF};  // blue, green, red
    std::memcpy(rgb.pixels, bytes, 6);
    Use565();
    out.ConvertFrom(rgb, nullptr);
    EXPECT_EQ(Pixel16(out, 0, 0), 0x0821);
    EXPECT_EQ(Pixel16(out, 1, 0), 0xF81F);
    Use555();
    out.ConvertFrom(rgb, nullptr);
    EXPECT_EQ(Pixel16(out, 0, 0), (1 << 10) | (0 << 5) | 1);
    EXPECT_EQ(Pixel16(out, 1, 0), 0x7C1F);
}

TEST(ConvertFrom, RefusalsWriteNothing) {
    Use565();
    Image a(320, 240, 16), b(320, 200, 16), indices(4, 4, 8), odd(4, 4, 12);
    b.pixels[0] = 0x5A;
    EXPECT_EQ(b.ConvertFrom(a, nullptr), -1);
    EXPECT_EQ(b.pixels[0], 0x5A);
    // No palette: refused before the destination depth is looked at.
    EXPECT_EQ(odd.ConvertFrom(indices, nullptr), -1);
    // Unsupported pair: accepted, nothing written.
    Image src12(4, 4, 12), dst16(4, 4, 16);
    dst16.pixels[3] = 7;
    EXPECT_EQ(dst16.ConvertFrom(src12, nullptr), 0);
    EXPECT_EQ(dst16.pixels[3], 7);
}

TEST(ConvertFrom, SixteenBitsGoRowByRowIntoLongerRows) {
    Image frame(320, 240, 16);
    for (int i = 0; i < 320 * 240 * 2; ++i) frame.pixels[i] = static_cast<uint8_t>(i * 7 + 1);
    std::vector<uint8_t> surface(1024 * 240, 0xEE);
    Image view;
    view.width = 320;
    view.height = 240;
    view.bitsPerPixel = 16;
    view.bytesPerRow = 1024;
    view.pixels = surface.data();
    ASSERT_EQ(view.ConvertFrom(frame, nullptr), 0);
    for (int y = 0; y < 240; ++y) {
        ASSERT_EQ(std::memcmp(&surface[y * 1024], frame.pixels + y * 640, 640), 0) << y;
        for (int x = 640; x < 1024; ++x) ASSERT_EQ(surface[y * 1024 + x], 0xEE);
    }
    view.pixels = nullptr;  // the view does not own the memory
}

TEST(ConvertFrom, PaletteThroughTwentyFourBitsSwapsRedAndBlue) {
    Use565();
    const uint8_t palette[3] = {0xFF, 0x00, 0x00};  // pure blue
    Image indices(1, 1, 8), rgb(1, 1, 24), out(1, 1, 16), direct(1, 1, 16);
    rgb.ConvertFrom(indices, palette);
    EXPECT_EQ(rgb.pixels[0], 0x00);  // red written first
    EXPECT_EQ(rgb.pixels[2], 0xFF);
    out.ConvertFrom(rgb, nullptr);
    direct.ConvertFrom(indices, palette);
    EXPECT_EQ(Pixel16(direct, 0, 0), 0x001F);
    EXPECT_EQ(Pixel16(out, 0, 0), 0xF800);
}

TEST(ConvertFrom, OtherRoutes) {
    Use565();
    Image p16(1, 1, 16), to24(1, 1, 24), to32(1, 1, 32), back16(1, 1, 16), to24b(1, 1, 24);
    p16.pixels[0] = 0x21;  // 0x0821: red 1, green 1, blue 1
    p16.pixels[1] = 0x08;
    to24.ConvertFrom(p16, nullptr);
    EXPECT_EQ(to24.pixels[0], 1);  // fixed 5-6-5 fields, unscaled: red, green, blue
    EXPECT_EQ(to24.pixels[1], 1);
    EXPECT_EQ(to24.pixels[2], 1);
    to32.ConvertFrom(p16, nullptr);
    EXPECT_EQ(to32.pixels[0], 1 << 3);  // blue, green, red with the low bits zero
    EXPECT_EQ(to32.pixels[1], 1 << 2);
    EXPECT_EQ(to32.pixels[2], 1 << 3);
    EXPECT_EQ(to32.pixels[3], 0);
    back16.ConvertFrom(to32, nullptr);
    EXPECT_EQ(Pixel16(back16, 0, 0), 0x0821);
    to24b.ConvertFrom(to32, nullptr);
    EXPECT_EQ(std::memcmp(to24b.pixels, to32.pixels, 3), 0);
}

TEST(Numeric, TruncationIsCheckedAndTowardZero) {
    EXPECT_EQ(TruncToInt(2.9), 2);
    EXPECT_EQ(TruncToInt(-2.9), -2);
    EXPECT_EQ(TruncToInt(std::nan("")), 0);
    EXPECT_EQ(TruncToInt(1e300), INT32_MAX);
    EXPECT_EQ(TruncToInt(-1e300), INT32_MIN);
    EXPECT_EQ(TruncToInt(-2147483648.0), INT32_MIN);
    EXPECT_EQ(TruncToInt(2147483646.5), 2147483646);
}

TEST(Numeric, RandomSequenceIsTheRuntimeLibrarys) {
    SetRandSeed(1);
    EXPECT_EQ(Rand(), 41);
    EXPECT_EQ(Rand(), 18467);
    EXPECT_EQ(Rand(), 6334);
    EXPECT_EQ(Rand(), 26500);
    SetRandSeed(1);
}

}  // namespace
