// The sprite blitter: mixing values, keys, rectangles, and the per-pixel, SSE2 and MMX kernels
// agreeing.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "image/blit_sprite.h"
#include "image/pixel_layout.h"

namespace {

using BlitFunction = int32_t (*)(Image&, const Image&, RECT, RECT, int32_t, uint32_t);

int32_t BlitThroughImage(Image& d, const Image& s, RECT sr, RECT dr, int32_t level, uint32_t key) {
    return d.BlitSprite(s, sr, dr, level, key);
}

struct Kernel {
    const char* name;
    BlitFunction blit;
};

std::vector<Kernel> Kernels() {
    std::vector<Kernel> kernels = {{"portable", BlitSpritePortable},
                                   {"Image::BlitSprite", BlitThroughImage}};
#if defined(MORVANITE_BLIT_SSE2)
    kernels.push_back({"sse2", BlitSpriteSse2});
#endif
#if defined(MORVANITE_BLIT_MMX)
    kernels.push_back({"mmx", BlitSpriteMmx});
#endif
    return kernels;
}

// A key no test source holds: random fills leave it out.
constexpr uint32_t kNoKey = 0xF81F;

uint16_t Pixel(const Image& image, int x, int y) {
    uint16_t v;
    std::memcpy(&v, image.pixels + y * image.bytesPerRow + 2 * x, 2);
    return v;
}

void SetPixel(Image& image, int x, int y, uint16_t v) {
    std::memcpy(image.pixels + y * image.bytesPerRow + 2 * x, &v, 2);
}

void Fill(Image& image, uint16_t v) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) SetPixel(image, x, y, v);
}

void FillRandom(Image& image, std::mt19937& rng) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            uint16_t v = static_cast<uint16_t>(rng());
            SetPixel(image, x, y, v == kNoKey ? 0 : v);
        }
}

std::vector<uint8_t> Bytes(const Image& image) {
    return std::vector<uint8_t>(image.pixels, image.pixels + image.bytesPerRow * image.height);
}

RECT Rect(int32_t l, int32_t t, int32_t r, int32_t b) {
    return RECT{l, t, r, b};
}

class BlitSpriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = PixelLayout;
        PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
    }
    void TearDown() override { PixelLayout = saved_; }

    // Mixes one source pixel over one destination pixel (in a 4-pixel row) with every kernel
    // and checks that all agree; returns the result.
    uint16_t MixOne(uint16_t s, uint16_t d, int32_t level, uint32_t key = 0x12345678) {
        uint16_t result = 0;
        bool first = true;
        for (const Kernel& k : Kernels()) {
            Image src(4, 1, 16), dst(4, 1, 16);
            Fill(src, s);
            Fill(dst, d);
            EXPECT_EQ(k.blit(dst, src, Rect(0, 0, 4, 1), Rect(0, 0, 4, 1), level, key), 1);
            for (int x = 1; x < 4; ++x) EXPECT_EQ(Pixel(dst, x, 0), Pixel(dst, 0, 0)) << k.name;
            if (first) result = Pixel(dst, 0, 0);
            EXPECT_EQ(Pixel(dst, 0, 0), result) << k.name << " level " << level;
            first = false;
        }
        return result;
    }

    PixelLayoutFields saved_;
};

TEST_F(BlitSpriteTest, MixingValuesOfTheRule) {
    // Level 255 copies: red 31 over 0 gives (95 * 255) >> 8 = 94, 94 - 63 = 31.
    EXPECT_EQ(MixOne(0xF800, 0x0000, 255), 0xF800);
    EXPECT_EQ(MixOne(0x1234, 0xFEDC, 255), 0x1234);
    // Level 128, blue 0 over 31: 31 + 16 - 32 = 15, the floor of the halfway value.
    EXPECT_EQ(MixOne(0x0000, 0x001F, 128), 0x000F);
    EXPECT_EQ(MixOne(0x001F, 0x0000, 128), 0x000F);
    // Green 63 over 0 at 128: 0 + (127 * 128 >> 8) - 32 = 31.
    EXPECT_EQ(MixOne(0x07E0, 0x0000, 128), 31 << 5);
    // Level 64, red 31 over 3: 3 + ((92 * 64) >> 8) - 16 = 10.
    EXPECT_EQ(MixOne(0xF800, 3 << 11, 64), 10 << 11);
    // Level 0 keeps the destination; 256 and anything above (low 16 bits) copies.
    EXPECT_EQ(MixOne(0xABCD, 0x1357, 0), 0x1357);
    for (int32_t level : {256, 300, 65535, -1}) EXPECT_EQ(MixOne(0xABCD, 0x1357, level), 0xABCD);
    // Only the low 16 bits of the level count: 65536 + 10 is 10.
    EXPECT_EQ(MixOne(0xFFFF, 0x0000, 65536 + 10), MixOne(0xFFFF, 0x0000, 10));
    EXPECT_EQ(MixOne(0xFFFF, 0x0000, 65536), 0x0000);
}

TEST_F(BlitSpriteTest, EveryChannelPairAtEveryLevelStaysBetweenTheTwo) {
    // Column x of the source holds green x, row y of the destination green y: one blit covers
    // every (cs, cd) pair of the widest field.
    for (const Kernel& k : Kernels()) {
        Image src(64, 64, 16);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) SetPixel(src, x, y, static_cast<uint16_t>(x << 5));
        for (int level = 0; level <= 256; ++level) {
            Image dst(64, 64, 16);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) SetPixel(dst, x, y, static_cast<uint16_t>(y << 5));
            k.blit(dst, src, Rect(0, 0, 64, 64), Rect(0, 0, 64, 64), level, kNoKey);
            for (int cd = 0; cd < 64; ++cd) {
                for (int cs = 0; cs < 64; ++cs) {
                    const uint16_t p = Pixel(dst, cs, cd);
                    const int g = p >> 5;
                    ASSERT_EQ(p & 0xF81F, 0) << k.name;
                    ASSERT_GE(g, std::min(cs, cd))
                        << k.name << " " << level << " " << cs << " " << cd;
                    ASSERT_LE(g, std::max(cs, cd))
                        << k.name << " " << level << " " << cs << " " << cd;
                    if (level == 0) {
                        ASSERT_EQ(g, cd);
                    }
                    if (level >= 255) {
                        ASSERT_EQ(g, cs);
                    }
                    if (level == 128) {
                        ASSERT_EQ(g, cd + ((cs - cd) >> 1)) << cs << " " << cd;
                    }
                }
            }
        }
    }
}

TEST_F(BlitSpriteTest, KeyedPixelsKeepTheDestinationWhateverTheLevel) {
    for (int32_t level : {0, 1, 128, 255, 256, 1000}) {
        for (const Kernel& k : Kernels()) {
            Image src(8, 2, 16), dst(8, 2, 16);
            Fill(dst, 0x5555);
            for (int x = 0; x < 8; ++x) {
                SetPixel(src, x, 0, x % 2 ? 0xF81F : 0x07E0);
                SetPixel(src, x, 1, x % 3 ? 0xF81F : 0x001F);
            }
            k.blit(dst, src, Rect(0, 0, 8, 2), Rect(0, 0, 8, 2), level, 0xABCDF81F);
            for (int y = 0; y < 2; ++y) {
                for (int x = 0; x < 8; ++x) {
                    if (Pixel(src, x, y) == 0xF81F) {
                        EXPECT_EQ(Pixel(dst, x, y), 0x5555) << k.name;
                    } else if (level >= 255) {
                        EXPECT_EQ(Pixel(dst, x, y), Pixel(src, x, y)) << k.name;
                    }
                }
            }
        }
    }
}

TEST_F(BlitSpriteTest, PlacesTheRectangleAndIgnoresDestinationRightAndBottom) {
    // An asymmetric "F" source at an odd size: red on blue.
    const char* f[] = {"#####", "#....", "####.", "#....", "#....", "#...."};
    Image src(9, 7, 16);
    Fill(src, 0x001F);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x)
            if (f[y][x] == '#') SetPixel(src, x + 2, y + 1, 0xF800);
    for (const Kernel& k : Kernels()) {
        for (RECT dr : {Rect(3, 2, 7, 8), Rect(3, 2, 0, 0), Rect(3, 2, -50, 1000)}) {
            Image dst(11, 13, 16);
            Fill(dst, 0x07E0);
            k.blit(dst, src, Rect(2, 1, 6, 7), dr, 256, kNoKey);
            for (int y = 0; y < 13; ++y) {
                for (int x = 0; x < 11; ++x) {
                    const bool inside = x >= 3 && x < 7 && y >= 2 && y < 8;
                    const uint16_t want = inside ? Pixel(src, x - 3 + 2, y - 2 + 1) : 0x07E0;
                    ASSERT_EQ(Pixel(dst, x, y), want) << k.name << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(BlitSpriteTest, KernelsAgreeOnRandomPixelsAtEveryLevel) {
    std::mt19937 rng(7);
    Image src(37, 29, 16);
    Image base(41, 31, 16);
    FillRandom(src, rng);
    FillRandom(base, rng);
    // Keys that occur: copy a few source values so that some pixels are keyed.
    const uint16_t key = Pixel(src, 3, 3);
    for (int i = 0; i < 60; ++i) SetPixel(src, rng() % 37, rng() % 29, key);

    const RECT rects[] = {Rect(0, 0, 36, 29), Rect(1, 2, 5, 9),   Rect(5, 0, 17, 29),
                          Rect(1, 1, 21, 28), Rect(3, 4, 31, 20), Rect(0, 28, 32, 29)};
    const RECT places[] = {Rect(5, 2, 0, 0), Rect(0, 0, 0, 0), Rect(41 - 12, 31 - 29, 0, 0)};
    for (const Kernel& kernel : Kernels()) {
        for (int level = 0; level <= 260; ++level) {
            for (const RECT& sr : rects) {
                for (const RECT& dr : places) {
                    if (dr.left + (sr.right - sr.left) > 41 || dr.top + (sr.bottom - sr.top) > 31)
                        continue;
                    Image a(41, 31, 16), b(41, 31, 16);
                    std::memcpy(a.pixels, base.pixels, 41 * 31 * 2);
                    std::memcpy(b.pixels, base.pixels, 41 * 31 * 2);
                    const uint32_t k = level % 2 ? key : kNoKey;
                    BlitSpritePortable(a, src, sr, dr, level, k);
                    kernel.blit(b, src, sr, dr, level, k);
                    ASSERT_EQ(Bytes(a), Bytes(b))
                        << kernel.name << " level " << level << " rect " << sr.left << "," << sr.top
                        << "-" << sr.right << "," << sr.bottom;
                }
            }
        }
    }
}

TEST_F(BlitSpriteTest, FiveFiveFiveLayoutMixesItsOwnFields) {
    PixelLayout = {0x7C00, 0x03E0, 0x001F, 5, 5, 5};
    // Red 31 over 0 at 128 in bits 10..14: 15; green the same in bits 5..9; the top bit is dropped.
    EXPECT_EQ(MixOne(0x7C00, 0x0000, 128), 15 << 10);
    EXPECT_EQ(MixOne(0x03E0, 0x0000, 128), 15 << 5);
    EXPECT_EQ(MixOne(0xFFFF, 0x8000, 256), 0x7FFF);
    // A keyed pixel keeps the destination's top bit.
    EXPECT_EQ(MixOne(0x1111, 0x8000, 256, 0x1111), 0x8000);
}

TEST_F(BlitSpriteTest, OtherLayoutsAndEmptyRectanglesDrawNothing) {
    for (const Kernel& k : Kernels()) {
        Image src(8, 4, 16), dst(8, 4, 16);
        Fill(src, 0xFFFF);
        Fill(dst, 0x1234);
        const auto before = Bytes(dst);
        PixelLayout = {0, 0, 0, 0, 0, 0};
        EXPECT_EQ(k.blit(dst, src, Rect(0, 0, 8, 4), Rect(0, 0, 8, 4), 256, kNoKey), 1);
        PixelLayout = {0x7C00, 0x03E0, 0x001F, 6, 5, 6};
        EXPECT_EQ(k.blit(dst, src, Rect(0, 0, 8, 4), Rect(0, 0, 8, 4), 256, kNoKey), 1);
        PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
        EXPECT_EQ(k.blit(dst, src, Rect(0, 2, 8, 2), Rect(0, 0, 8, 0), 256, kNoKey), 1);
        EXPECT_EQ(Bytes(dst), before) << k.name;
    }
}

TEST_F(BlitSpriteTest, SurfaceViewsWithLongRowsKeepTheirPadding) {
    for (const Kernel& k : Kernels()) {
        std::vector<uint8_t> memory(64 * 10, 0xEE);
        Image view;
        view.width = 12;
        view.height = 10;
        view.bitsPerPixel = 16;
        view.bytesPerRow = 64;
        view.pixels = memory.data();
        Image src(12, 10, 16);
        Fill(src, 0x0F0F);
        k.blit(view, src, Rect(0, 0, 12, 10), Rect(0, 0, 12, 10), 256, kNoKey);
        view.pixels = nullptr;
        for (int y = 0; y < 10; ++y) {
            for (int b = 0; b < 64; ++b) {
                const uint8_t want = b < 24 ? (b % 2 ? 0x0F : 0x0F) : 0xEE;
                ASSERT_EQ(memory[y * 64 + b], want) << k.name << " row " << y << " byte " << b;
            }
        }
    }
}

// Outside the callers' contract nothing may be written outside the destination: the destination
// is a view into the middle of a guarded block.
TEST_F(BlitSpriteTest, OutsideTheContractNothingOutsideTheDestinationIsWritten) {
    const RECT sources[] = {Rect(-5, -3, 11, 9),
                            Rect(10, 10, 30, 20),
                            Rect(0, 0, 6, 3),
                            Rect(0, 0, 16, -4),
                            Rect(2, 1, 1, 3),
                            Rect(INT32_MIN, 0, INT32_MAX, 5),
                            Rect(0, INT32_MIN, 8, INT32_MAX),
                            Rect(14, 0, 18, 12)};
    const RECT places[] = {Rect(0, 0, 0, 0),
                           Rect(-7, -9, 0, 0),
                           Rect(10, 5, 0, 0),
                           Rect(13, 0, 0, 0),
                           Rect(0, 11, 0, 0),
                           Rect(INT32_MAX, INT32_MAX, 0, 0),
                           Rect(INT32_MIN, INT32_MIN, 0, 0)};
    Image src(16, 12, 16);
    std::mt19937 rng(3);
    FillRandom(src, rng);
    for (const Kernel& k : Kernels()) {
        for (const RECT& sr : sources) {
            for (const RECT& dr : places) {
                const int w = 14, h = 11, pitch = 40, pad = 3;
                std::vector<uint8_t> memory(static_cast<size_t>(pitch * (h + 2 * pad)), 0xA5);
                Image view;
                view.width = w;
                view.height = h;
                view.bitsPerPixel = 16;
                view.bytesPerRow = pitch;
                view.pixels = memory.data() + pitch * pad;
                k.blit(view, src, sr, dr, 256, kNoKey);
                view.pixels = nullptr;
                for (size_t i = 0; i < memory.size(); ++i) {
                    const int row = static_cast<int>(i) / pitch - pad,
                              col = static_cast<int>(i) % pitch;
                    if (row >= 0 && row < h && col < 2 * w) continue;
                    ASSERT_EQ(memory[i], 0xA5) << k.name << " wrote outside at byte " << i;
                }
            }
        }
    }
}

TEST_F(BlitSpriteTest, RectanglesReachingOutsideDrawTheirInsidePart) {
    Image src(16, 12, 16);
    std::mt19937 rng(11);
    FillRandom(src, rng);
    for (const Kernel& k : Kernels()) {
        // Source rectangle reaching left and above the source, placed at (4, 3): the part of it
        // inside the source lands where it would have landed.
        Image a(20, 20, 16), b(20, 20, 16);
        k.blit(a, src, Rect(-2, -1, 6, 5), Rect(4, 3, 0, 0), 256, kNoKey);
        k.blit(b, src, Rect(0, 0, 6, 5), Rect(6, 4, 0, 0), 256, kNoKey);
        EXPECT_EQ(Bytes(a), Bytes(b)) << k.name;
        // A width of 6 draws all six columns.
        Image c(20, 20, 16);
        k.blit(c, src, Rect(0, 0, 6, 2), Rect(0, 0, 0, 0), 256, kNoKey);
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(Pixel(c, x, 1), x < 6 ? Pixel(src, x, 1) : 0) << k.name;
    }
}

}  // namespace
