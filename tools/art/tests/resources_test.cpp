// The committed pictures and icon: file form, and what each effect needs of its picture.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "ico_read.h"
#include "tga_read.h"

namespace art {
namespace {

const std::string kFolder = MORVANITE_RESOURCES;

struct Expected {
    int id;
    const char* file;
    int width, height, type;
};

const Expected kPictures[] = {
    {102, "102-loading.tga", 320, 240, 9},       {104, "104-tree.tga", 320, 240, 10},
    {105, "105-opening.tga", 320, 240, 9},       {107, "107-figure.tga", 92, 150, 9},
    {109, "109-tunnel.tga", 256, 256, 9},        {112, "112-painting.tga", 320, 240, 10},
    {113, "113-closing-text.tga", 320, 1680, 9}, {115, "115-ball-blue.tga", 32, 32, 10},
    {116, "116-ball-orange.tga", 32, 32, 10},    {117, "117-ball-green.tga", 32, 32, 10},
    {123, "123-texture.tga", 256, 256, 9},       {124, "124-overlay.tga", 320, 240, 9},
    {128, "128-lobed-texture.tga", 256, 256, 9}, {131, "131-caption-1.tga", 256, 25, 9},
    {132, "132-caption-2.tga", 172, 24, 9},      {133, "133-caption-3.tga", 264, 24, 9},
    {134, "134-dancer.tga", 200, 154, 9},        {136, "136-glow.tga", 320, 240, 9},
    {138, "138-logo-1.tga", 160, 18, 9},         {139, "139-logo-2.tga", 100, 24, 9},
    {147, "147-morph-picture.tga", 320, 240, 9},
};

const DecodedTga& Picture(int id) {
    static std::map<int, DecodedTga> cache;
    auto it = cache.find(id);
    if (it != cache.end()) return it->second;
    for (const Expected& e : kPictures) {
        if (e.id == id) return cache[id] = DecodeTga(ReadFileBytes(kFolder + "/" + e.file));
    }
    static DecodedTga none;
    return none;
}

// The 16-bit value the program sees at (x, y).
uint16_t Shown(const DecodedTga& t, int x, int y) {
    return To565(t.rgb[size_t(y) * t.width + x]);
}

float Luma(const std::array<uint8_t, 3>& c) {
    return (0.299f * c[0] + 0.587f * c[1] + 0.114f * c[2]) / 255.0f;
}

TEST(Resources, EveryPictureHasItsFormAndEndsItsPacketsAtE) {
    for (const Expected& e : kPictures) {
        SCOPED_TRACE(e.file);
        const std::vector<uint8_t> bytes = ReadFileBytes(kFolder + "/" + e.file);
        ASSERT_FALSE(bytes.empty());
        const DecodedTga t = DecodeTga(bytes);
        EXPECT_EQ(t.error, "");
        EXPECT_EQ(t.idLength, 0);
        EXPECT_EQ(t.imageType, e.type);
        EXPECT_EQ(t.width, e.width);
        EXPECT_EQ(t.height, e.height);
        EXPECT_EQ(t.descriptor, 0);
        if (e.type == 9) {
            EXPECT_EQ(t.mapType, 1);
            EXPECT_EQ(t.mapLength, 256);
            EXPECT_EQ(t.mapEntryBits, 24);
            EXPECT_EQ(t.bits, 8);
        } else {
            EXPECT_EQ(t.mapType, 0);
            EXPECT_EQ(t.bits, 24);
        }
        EXPECT_EQ(t.developerOffset, 0u);
        EXPECT_EQ(size_t(t.extensionOffset), t.dataEnd);
        EXPECT_EQ(t.extensionSize, 495);
        EXPECT_EQ(bytes.size(), t.dataEnd + 495 + 26);
        EXPECT_EQ(t.packetsEnd, t.dataEnd);
        EXPECT_EQ(t.pixelsDecoded, size_t(e.width) * e.height);
    }
}

// Keyed pictures: the top-left colour is the background, and no other palette entry that the
// picture uses shows as that 16-bit value.
TEST(Resources, KeyColoursAppearOnlyAsTheBackground) {
    for (int id : {107, 131, 132, 133, 138, 139}) {
        SCOPED_TRACE(id);
        const DecodedTga& t = Picture(id);
        ASSERT_EQ(t.error, "");
        const uint16_t key = Shown(t, 0, 0);
        const uint8_t keyIndex = t.index[0];
        size_t drawn = 0;
        for (int y = 0; y < t.height; ++y) {
            for (int x = 0; x < t.width; ++x) {
                const size_t i = size_t(y) * t.width + x;
                if (Shown(t, x, y) == key) {
                    ASSERT_EQ(t.index[i], keyIndex) << x << "," << y;
                } else {
                    ++drawn;
                }
            }
        }
        // Something is drawn, and it leaves the background round it.
        EXPECT_GT(drawn, size_t(t.width) * t.height / 12);
        EXPECT_LT(drawn, size_t(t.width) * t.height * 3 / 4);
        for (int x = 0; x < t.width; ++x) EXPECT_EQ(Shown(t, x, 0), key);
        // Lettering keeps a margin of two key-coloured pixels on every side, so that no letter
        // touches an edge (the figure stands on the bottom row).
        if (id == 107) continue;
        for (int y = 0; y < t.height; ++y) {
            for (int x = 0; x < t.width; ++x) {
                const bool border =
                    std::min(x, t.width - 1 - x) < 2 || std::min(y, t.height - 1 - y) < 2;
                if (border) {
                    ASSERT_EQ(Shown(t, x, y), key) << x << "," << y;
                }
            }
        }
    }
}

TEST(Resources, PaintingHasAPureBlackHoleRoundItsCentreAndNoOtherBlack) {
    const DecodedTga& t = Picture(112);
    ASSERT_EQ(t.error, "");
    EXPECT_EQ(Shown(t, 160, 120), 0);
    size_t hole = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const float r = std::hypot(float(x) - 160.0f, float(y) - 120.0f);
            if (r < 20.0f) {
                EXPECT_EQ(Shown(t, x, y), 0) << x << "," << y;
            }
            if (Shown(t, x, y) == 0) {
                ++hole;
                EXPECT_LT(r, 40.0f) << "black outside the hole at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(hole, 1000u);
}

TEST(Resources, GlowIsBrightEverywhere) {
    const DecodedTga& t = Picture(136);
    ASSERT_EQ(t.error, "");
    float sum = 0, least = 1;
    for (const auto& c : t.rgb) {
        const float l = Luma(From565(To565(c)));
        sum += l;
        least = std::min(least, l);
    }
    EXPECT_GT(sum / float(t.rgb.size()), 0.5f);
    EXPECT_GT(least, 0.25f);
}

TEST(Resources, FiguresAndBallsStandOnPureBlack) {
    const DecodedTga& dancer = Picture(134);
    ASSERT_EQ(dancer.error, "");
    size_t lit = 0;
    for (int y = 0; y < dancer.height; ++y) {
        for (int x = 0; x < dancer.width; ++x) {
            const bool border = x < 2 || y < 2 || x >= dancer.width - 2 || y >= dancer.height - 2;
            if (border) {
                EXPECT_EQ(Shown(dancer, x, y), 0) << x << "," << y;
            }
            if (Shown(dancer, x, y) != 0) ++lit;
        }
    }
    EXPECT_GT(lit, 3000u);

    // Each ball fades to exact black well before its edges, and each has its own colour.
    std::set<int> strongest;
    for (int id : {115, 116, 117}) {
        SCOPED_TRACE(id);
        const DecodedTga& t = Picture(id);
        ASSERT_EQ(t.error, "");
        std::array<int, 3> total{};
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const auto& c = t.rgb[size_t(y) * 32 + x];
                if (std::hypot(float(x) + 0.5f - 16.0f, float(y) + 0.5f - 16.0f) > 14.0f) {
                    EXPECT_EQ(c, (std::array<uint8_t, 3>{0, 0, 0})) << x << "," << y;
                }
                for (int k = 0; k < 3; ++k) total[size_t(k)] += c[size_t(k)];
            }
        }
        EXPECT_GT(Luma(t.rgb[16 * 32 + 16]), 0.9f);
        strongest.insert(int(std::max_element(total.begin(), total.end()) - total.begin()));
    }
    EXPECT_EQ(strongest.size(), 3u);  // blue, red-orange and green lead in turn
}

TEST(Resources, MorphPictureHasEnoughLitPixelsOnBlack) {
    const DecodedTga& t = Picture(147);
    ASSERT_EQ(t.error, "");
    size_t lit = 0;
    for (const auto& c : t.rgb) lit += To565(c) != 0;
    EXPECT_GE(lit, 5000u);
    EXPECT_EQ(Shown(t, 0, 0), 0);
    EXPECT_EQ(Shown(t, 319, 239), 0);
}

TEST(Resources, TreeSeedColourIsUniqueAndLiesInTheFlameRows) {
    const DecodedTga& t = Picture(104);
    ASSERT_EQ(t.error, "");
    const uint16_t key = Shown(t, 319, 239);
    int count = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            if (Shown(t, x, y) != key) continue;
            ++count;
            if (x == 319 && y == 239) continue;
            EXPECT_GE(y, 17) << x;
            EXPECT_LE(y, 117) << x;
        }
    }
    EXPECT_GE(count, 250);
    EXPECT_LE(count, 1600);
}

TEST(Resources, LoadingScreenLeavesADarkFramedTrackForTheBar) {
    const DecodedTga& t = Picture(102);
    ASSERT_EQ(t.error, "");
    for (int y = 142; y <= 148; ++y)
        for (int x = 108; x <= 215; ++x)
            ASSERT_LT(Luma(From565(Shown(t, x, y))), 0.12f) << x << "," << y;
    // The frame round the track is light on all four sides.
    for (int x = 106; x <= 217; x += 37) {
        EXPECT_GT(Luma(From565(Shown(t, x, 138))), 0.5f);
        EXPECT_GT(Luma(From565(Shown(t, x, 152))), 0.5f);
    }
    EXPECT_GT(Luma(From565(Shown(t, 104, 145))), 0.5f);
    EXPECT_GT(Luma(From565(Shown(t, 219, 145))), 0.5f);
}

TEST(Resources, ClosingTextIsWhiteAndRedOnBlackInTallLetters) {
    const DecodedTga& t = Picture(113);
    ASSERT_EQ(t.error, "");
    // Colours: greys (white lettering and its edges) or reds; the rest black.
    for (const auto& c : t.rgb) {
        const bool grey = std::abs(c[0] - c[1]) <= 16 && std::abs(c[1] - c[2]) <= 16;
        const bool red = c[0] > c[1] && c[0] >= c[2] && c[1] * 2 <= c[0] + 16;
        ASSERT_TRUE(grey || red) << int(c[0]) << " " << int(c[1]) << " " << int(c[2]);
    }
    // Each band of lettered rows (accents joined to their letters across gaps of up to four
    // rows) is a line of text at least 14 pixels high.
    int bands = 0, first = -1, last = -1;
    for (int y = 0; y <= 1680; ++y) {
        bool lettered = false;
        for (int x = 0; y < 1680 && x < 320 && !lettered; ++x)
            lettered = Luma(t.rgb[size_t(y) * 320 + x]) > 0.3f;
        if (lettered) {
            if (first < 0) first = y;
            last = y;
        } else if (first >= 0 && (y - last > 4 || y == 1680)) {
            EXPECT_GE(last - first + 1, 14) << "line ending at row " << last;
            ++bands;
            first = -1;
        }
    }
    EXPECT_GE(bands, 20);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) ASSERT_EQ(Shown(t, x, y), 0);  // it scrolls in from below
}

// Textures wrap: the step from the last column to the first is no rougher than an ordinary step.
TEST(Resources, TexturesTileSeamlessly) {
    for (int id : {109, 123, 128}) {
        SCOPED_TRACE(id);
        const DecodedTga& t = Picture(id);
        ASSERT_EQ(t.error, "");
        auto at = [&](int x, int y) { return t.rgb[size_t(y & 255) * 256 + size_t(x & 255)]; };
        auto step = [](const std::array<uint8_t, 3>& a, const std::array<uint8_t, 3>& b) {
            return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
        };
        double inner = 0, wrapX = 0, wrapY = 0;
        for (int i = 0; i < 256; ++i) {
            for (int k = 1; k < 255; ++k) inner += step(at(k, i), at(k + 1, i));
            wrapX += step(at(255, i), at(0, i));
            wrapY += step(at(i, 255), at(i, 0));
        }
        inner /= 254.0;
        EXPECT_LT(wrapX, inner * 1.6 + 256);
        EXPECT_LT(wrapY, inner * 1.6 + 256);
    }
}

TEST(Resources, IconHoldsTwoSixteenColourImages) {
    std::string error;
    const std::vector<DecodedIcon> icons =
        DecodeIco(ReadFileBytes(kFolder + "/151-icon.ico"), error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(icons.size(), 2u);
    std::set<int> sizes;
    for (const DecodedIcon& icon : icons) {
        sizes.insert(icon.size);
        EXPECT_EQ(icon.bits, 4);
        EXPECT_EQ(icon.colours, 16);
        const int n = icon.size;
        EXPECT_EQ(icon.transparent[0], 1);  // corners show the window
        EXPECT_EQ(icon.transparent[size_t(n / 2) * n + n / 2], 0);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));
}

}  // namespace
}  // namespace art
