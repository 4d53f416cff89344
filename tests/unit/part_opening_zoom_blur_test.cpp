// The opening part: the 0.98 zoom maps, the enlargement, the eight-neighbour soften and the strip
// schedule.
#include <gtest/gtest.h>

#include <cstdint>

#include "image/image.h"
#include "parts/opening_zoom_blur.h"
#include "parts/zoom_blur_kernels.h"
#include "image/pixel_layout.h"

namespace {

void Use565() {
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
}

uint16_t* Pixels(Image& image) {
    return reinterpret_cast<uint16_t*>(image.pixels);
}

// A frame where every pixel differs from its neighbours in all three channels.
void FillPattern(Image& image) {
    uint16_t* p = Pixels(image);
    for (int32_t i = 0; i < 320 * 240; ++i) {
        p[i] = static_cast<uint16_t>((i * 2654435761u) >> 16);
    }
}

TEST(ZoomBlurMaps, TellingValues) {
    int32_t columns[320];
    int32_t rows[240];
    zoomblur::BuildZoomMaps(columns, rows);
    EXPECT_EQ(columns[0], 3);
    EXPECT_EQ(columns[10], 12);
    EXPECT_EQ(columns[60], 61);
    EXPECT_EQ(columns[110], 110);
    EXPECT_EQ(columns[160], 160);
    EXPECT_EQ(columns[161], 160);
    EXPECT_EQ(columns[210], 209);
    EXPECT_EQ(columns[319], 315);
    EXPECT_EQ(rows[0], 2);
    EXPECT_EQ(rows[20], 21);
    EXPECT_EQ(rows[120], 120);
    EXPECT_EQ(rows[121], 120);
    EXPECT_EQ(rows[239], 236);
    // Never decreasing: the enlargement keeps the picture's order.
    for (int i = 1; i < 320; ++i) EXPECT_LE(columns[i - 1], columns[i]) << i;
    for (int i = 1; i < 240; ++i) EXPECT_LE(rows[i - 1], rows[i]) << i;
}

TEST(ZoomBlurEnlarge, SamplesTheMappedPixel) {
    int32_t columns[320];
    int32_t rows[240];
    zoomblur::BuildZoomMaps(columns, rows);
    Image source(320, 240, 16), dest(320, 240, 16);
    FillPattern(source);
    zoomblur::ZoomFromMaps(dest, source, columns, rows);
    const uint16_t* s = Pixels(source);
    const uint16_t* d = Pixels(dest);
    for (int y : {0, 1, 119, 120, 121, 239}) {
        for (int x : {0, 1, 159, 160, 161, 318, 319}) {
            EXPECT_EQ(d[y * 320 + x], s[rows[y] * 320 + columns[x]]) << x << "," << y;
        }
    }
    EXPECT_EQ(d[0], s[2 * 320 + 3]);
    EXPECT_EQ(d[239 * 320 + 319], s[236 * 320 + 315]);
}

TEST(ZoomBlurEnlarge, RefusesMapsAndImagesOutsideTheFrame) {
    int32_t columns[320];
    int32_t rows[240];
    zoomblur::BuildZoomMaps(columns, rows);
    Image source(320, 240, 16), dest(320, 240, 16);
    FillPattern(source);
    columns[5] = 320;
    zoomblur::ZoomFromMaps(dest, source, columns, rows);
    for (int i = 0; i < 320 * 240; ++i) ASSERT_EQ(Pixels(dest)[i], 0) << i;
    zoomblur::BuildZoomMaps(columns, rows);
    Image small(160, 120, 16);
    zoomblur::ZoomFromMaps(dest, small, columns, rows);
    zoomblur::ZoomFromMaps(small, source, columns, rows);
    for (int i = 0; i < 160 * 120; ++i) ASSERT_EQ(Pixels(small)[i], 0) << i;
}

TEST(ZoomBlurSoften, WalksMemoryOrderAcrossTheEdgesAndStopsPartWay) {
    Use565();
    Image source(320, 240, 16), dest(320, 240, 16);
    for (int i = 0; i < 320 * 240; ++i) Pixels(source)[i] = 0xFFFF;
    for (int i = 0; i < 320 * 240; ++i) Pixels(dest)[i] = 0x1234;
    // Only the pixel at row 0, column 319 is black. Row 1, columns 318 and 319 see it above them;
    // row 2, column 0 sees it as its upper-left neighbour because the walk does not skip edges.
    Pixels(source)[319] = 0;
    zoomblur::SoftenEightNeighbours(dest, source);
    const uint16_t* d = Pixels(dest);
    const uint16_t white = 0xFFFF;  // (8 x full) >> 3 = full in every channel
    const uint16_t sevenEighths = (27 << 11) | (55 << 5) | 27;
    for (int i = 0; i <= 320; ++i) ASSERT_EQ(d[i], 0x1234) << i;
    for (int i = 76005; i < 76800; ++i) ASSERT_EQ(d[i], 0x1234) << i;
    EXPECT_EQ(d[638], sevenEighths);
    EXPECT_EQ(d[639], sevenEighths);
    EXPECT_EQ(d[640], sevenEighths);
    EXPECT_EQ(d[641], white);
    EXPECT_EQ(d[637], white);
    EXPECT_EQ(d[76004], white);
    EXPECT_EQ(d[321], white);
}

// Eight neighbours and the average each layout gives, worked out per channel field:
// floor(sum of the eight fields / 8), put back in place. 5-6-5 and 5-5-5 take the packed path,
// 6-5-5 and 4-4-4 with blue at bit 4 the path for any masks.
struct SoftenCase {
    PixelLayoutFields layout;
    uint16_t neighbours[8];
    uint16_t average;
};
const SoftenCase kSoftenCases[] = {
    // r 31 * 3 + 1 = 94 -> 11, g 63 * 2 + 2 = 128 -> 16, b 31 + 1 + 1 = 33 -> 4.
    {{0xF800, 0x07E0, 0x001F, 5, 6, 5},
     {0xF800, 0xF800, 0xF800, 0x07E0, 0x07E0, 0x001F, 0x0001, 0x0841},
     11 << 11 | 16 << 5 | 4},
    // Bit 15 belongs to no channel. r 31 * 4 + 1 = 125 -> 15, g 31 * 4 + 1 = 125 -> 15, b 31 * 3
    // + 1 = 94 -> 11.
    {{0x7C00, 0x03E0, 0x001F, 5, 5, 5},
     {0x7FFF, 0x7FFF, 0x7FFF, 0x8000, 0x03E0, 0x0000, 0x7C00, 0x0421},
     15 << 10 | 15 << 5 | 11},
    // Six red bits: r 63 * 2 + 32 + 1 = 159 -> 19, g 31 + 1 = 32 -> 4, b 31 * 2 = 62 -> 7.
    {{0xFC00, 0x03E0, 0x001F, 6, 5, 5},
     {0xFC00, 0xFC00, 0x8000, 0x0400, 0x03FF, 0x0020, 0x0000, 0x001F},
     19 << 10 | 4 << 5 | 7},
    // Bits 0-3 belong to no channel: r 15 * 2 + 1 = 31 -> 3, g 15 + 2 = 17 -> 2, b 15 + 3 = 18
    // -> 2.
    {{0xF000, 0x0F00, 0x00F0, 4, 4, 4},
     {0xF000, 0xF000, 0x0F00, 0x00F0, 0x000F, 0x1230, 0x0000, 0x0000},
     3 << 12 | 2 << 8 | 2 << 4},
};

TEST(ZoomBlurSoften, AveragesTheEightNeighboursPerChannelOfEveryLayout) {
    Image source(320, 240, 16), dest(320, 240, 16);
    const int q = 10 * 320 + 10;
    const int offsets[8] = {-321, -320, -319, -1, 1, 319, 320, 321};
    for (const SoftenCase& c : kSoftenCases) {
        PixelLayout = c.layout;
        for (int k = 0; k < 8; ++k) Pixels(source)[q + offsets[k]] = c.neighbours[k];
        Pixels(source)[q] = 0xFFFF;  // the pixel itself does not count
        zoomblur::SoftenEightNeighbours(dest, source);
        EXPECT_EQ(Pixels(dest)[q], c.average) << "red mask " << c.layout.redMask;
    }
    Use565();
}

TEST(OpeningStrips, WindowsAreOpenAtBothEnds) {
    for (int l : {40, 70}) EXPECT_FALSE(opening::PlaceStrip(1, l).active) << l;
    for (int l : {50, 90}) EXPECT_FALSE(opening::PlaceStrip(2, l).active) << l;
    for (int l : {70, 100}) EXPECT_FALSE(opening::PlaceStrip(3, l).active) << l;
    EXPECT_TRUE(opening::PlaceStrip(1, 41).active);
    EXPECT_TRUE(opening::PlaceStrip(1, 69).active);
    EXPECT_TRUE(opening::PlaceStrip(2, 51).active);
    EXPECT_TRUE(opening::PlaceStrip(2, 89).active);
    EXPECT_TRUE(opening::PlaceStrip(3, 71).active);
    EXPECT_TRUE(opening::PlaceStrip(3, 99).active);
    EXPECT_FALSE(opening::PlaceStrip(0, 60).active);
    EXPECT_FALSE(opening::PlaceStrip(4, 60).active);
}

TEST(OpeningStrips, LevelsRiseToTheMiddleAndNeverReachFull) {
    EXPECT_EQ(opening::PlaceStrip(1, 41).level, 26);
    EXPECT_EQ(opening::PlaceStrip(1, 69).level, 26);
    EXPECT_EQ(opening::PlaceStrip(2, 51).level, 20);
    EXPECT_EQ(opening::PlaceStrip(2, 89).level, 20);
    EXPECT_EQ(opening::PlaceStrip(3, 71).level, 26);
    EXPECT_EQ(opening::PlaceStrip(1, 55).level, 254);
    EXPECT_EQ(opening::PlaceStrip(2, 70).level, 254);
    EXPECT_EQ(opening::PlaceStrip(3, 85).level, 254);
    for (int strip = 1; strip <= 3; ++strip) {
        for (int l = 0; l < 120; ++l) EXPECT_LT(opening::PlaceStrip(strip, l).level, 255);
    }
}

TEST(OpeningStrips, DriftOnePixelPerDecisecondInsideTheFrame) {
    const opening::StripPlacement s1a = opening::PlaceStrip(1, 41),
                                  s1b = opening::PlaceStrip(1, 69);
    EXPECT_EQ(s1a.x, 29);
    EXPECT_EQ(s1a.y, 79);
    EXPECT_EQ(s1b.x, 1);
    EXPECT_EQ(s1b.y, 51);
    const opening::StripPlacement s2a = opening::PlaceStrip(2, 51),
                                  s2b = opening::PlaceStrip(2, 89);
    EXPECT_EQ(s2a.x, 61);
    EXPECT_EQ(s2a.y, 151);
    EXPECT_EQ(s2b.x, 99);
    EXPECT_EQ(s2b.y, 189);
    const opening::StripPlacement s3a = opening::PlaceStrip(3, 71),
                                  s3b = opening::PlaceStrip(3, 99);
    EXPECT_EQ(s3a.x, 37);
    EXPECT_EQ(s3a.y, 59);
    EXPECT_EQ(s3b.x, 44);
    EXPECT_EQ(s3b.y, 31);
    // Largest strips: 256x25, 172x24 and 264x24.
    EXPECT_LE(s2b.x + 172, 320);
    EXPECT_LE(s2b.y + 24, 240);
    EXPECT_LE(s3b.x + 264, 320);
}

}  // namespace
