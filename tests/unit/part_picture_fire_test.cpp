// The fire's palette, seeds and flame step.
#include <gtest/gtest.h>

#include <vector>

#include "image/image.h"
#include "image/numeric.h"
#include "part_show_support.h"
#include "parts/picture_fire.h"
#include "image/pixel_layout.h"

namespace {

using namespace picture_fire;

void Use565() {
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
}

TEST(PictureFire, PaletteRunsFromBlackThroughRedToYellow) {
    uint8_t palette[768];
    BuildFirePalette(palette);
    auto entry = [&](int i) {
        return std::vector<int>{palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]};
    };
    EXPECT_EQ(entry(0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(entry(63), (std::vector<int>{0, 0, 252}));
    EXPECT_EQ(entry(64), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(entry(191), (std::vector<int>{0, 254, 255}));
    EXPECT_EQ(entry(192), (std::vector<int>{0, 255, 255}));
    EXPECT_EQ(entry(255), (std::vector<int>{0, 255, 255}));

    Use565();
    EXPECT_EQ(FireColour(palette + 3 * 0), 0x0000);
    EXPECT_EQ(FireColour(palette + 3 * 1), 0x0000);  // red 4 is below the 5-bit field's step
    EXPECT_EQ(FireColour(palette + 3 * 2), 0x0800);
    EXPECT_EQ(FireColour(palette + 3 * 100), 0xF800 | (72 >> 2) << 5);
    EXPECT_EQ(FireColour(palette + 3 * 254), 0xFFE0);
}

TEST(PictureFire, SeedsAreFoundRowByRowAndStopAtTheListSize) {
    Image picture(320, 240, 16);
    uint16_t* pixels = reinterpret_cast<uint16_t*>(picture.pixels);
    const uint16_t key = 0x1234;
    pixels[5 * 320 + 7] = key;
    pixels[2 * 320 + 300] = key;
    pixels[2 * 320 + 3] = key;
    pixels[239 * 320 + 319] = key;
    pixels[2 * 320 + 4] = key + 1;

    int32_t columns[kMaxSeeds], rows[kMaxSeeds];
    ASSERT_EQ(FindSeeds(picture, key, columns, rows, kMaxSeeds), 4);
    EXPECT_EQ((std::vector<int>{columns[0], rows[0], columns[1], rows[1]}),
              (std::vector<int>{3, 2, 300, 2}));
    EXPECT_EQ((std::vector<int>{columns[2], rows[2], columns[3], rows[3]}),
              (std::vector<int>{7, 5, 319, 239}));

    // A picture full of the key colour fills the lists and no more.
    for (int i = 0; i < 320 * 240; ++i) pixels[i] = key;
    std::vector<int32_t> bigColumns(kMaxSeeds + 8, -1), bigRows(kMaxSeeds + 8, -1);
    EXPECT_EQ(FindSeeds(picture, key, bigColumns.data(), bigRows.data(), kMaxSeeds), kMaxSeeds);
    EXPECT_EQ(bigColumns[kMaxSeeds - 1], (kMaxSeeds - 1) % 320);
    EXPECT_EQ(bigRows[kMaxSeeds - 1], (kMaxSeeds - 1) / 320);
    EXPECT_EQ(bigColumns[kMaxSeeds], -1);
}

struct FlameFixture {
    std::vector<uint8_t> heat = std::vector<uint8_t>(320 * 240, 0);
    std::vector<uint16_t> fire = std::vector<uint16_t>(320 * 240, 0xBEEF);
    std::vector<uint16_t> picture = std::vector<uint16_t>(320 * 240);
    std::vector<uint16_t> colours = std::vector<uint16_t>(256);
    FlameFixture() {
        for (int i = 0; i < 320 * 240; ++i) picture[i] = static_cast<uint16_t>(i * 7);
        for (int i = 0; i < 256; ++i) colours[i] = static_cast<uint16_t>(0xF000 | i);
    }
    uint8_t& Heat(int x, int y) { return heat[y * 320 + x]; }
    uint16_t Fire(int x, int y) { return fire[y * 320 + x]; }
    void Step() { FlameStep(heat.data(), fire.data(), picture.data(), colours.data()); }
};

TEST(PictureFire, FlameRisesOneRowAndCoolsFromTheOldValues) {
    FlameFixture f;
    f.Heat(10, 118) = 255;  // a seed just below the flame rows
    f.Heat(50, 117) = 100;
    f.Heat(50, 118) = 200;
    f.Step();

    // Row 117 above the lone seed: (255 + 0 + 0 + 0) >> 2 = 63, less one.
    for (int x = 9; x <= 11; ++x) {
        EXPECT_EQ(f.Heat(x, 117), 62) << x;
        EXPECT_EQ(f.Fire(x, 117), 0xF000 | 62) << x;
    }
    EXPECT_EQ(f.Heat(10, 118), 255);  // below the flame rows nothing changes
    EXPECT_EQ(f.Heat(12, 117), 0);
    EXPECT_EQ(f.Fire(12, 117), f.picture[117 * 320 + 12]);
    // The pixel itself counts: (100 + 200) >> 2 - 1.
    EXPECT_EQ(f.Heat(50, 117), 74);
    // Row 116 sees row 117 as it was before this step (100, not 74): 25 - 1.
    EXPECT_EQ(f.Heat(50, 116), 24);
    EXPECT_EQ(f.Fire(50, 116), 0xF000 | 24);
    EXPECT_EQ(f.Heat(50, 115), 0);
    // The fire frame below the flame rows is never written.
    for (int i = 118 * 320; i < 320 * 240; ++i) ASSERT_EQ(f.fire[i], 0xBEEF) << i;
}

TEST(PictureFire, FlameWrapsAroundTheRowEnds) {
    // Column 0 reads index + 319: the last column of its own row.
    FlameFixture left;
    left.Heat(319, 99) = 8;
    left.Step();
    EXPECT_EQ(left.Heat(0, 99), 1);
    EXPECT_EQ(left.Heat(1, 99), 0);

    // The last column reads index + 321: column 0 two rows down.
    FlameFixture right;
    right.Heat(0, 101) = 8;
    right.Step();
    EXPECT_EQ(right.Heat(319, 99), 1);
    EXPECT_EQ(right.Heat(0, 100), 1);  // the ordinary neighbours above
    EXPECT_EQ(right.Heat(1, 100), 1);
    EXPECT_EQ(right.Heat(318, 99), 0);
    EXPECT_EQ(right.Heat(319, 100), 0);
}

}  // namespace

namespace {

using show_support::Bgr;

// Resource 104 stand-in: a gradient with the key colour (its bottom-right pixel) at three places
// in the flame rows.
Bgr FirePicture(int x, int y) {
    const Bgr key = {0x18, 0x30, 0xF8};
    if ((x == 319 && y == 239) || (y == 50 && (x == 100 || x == 101)) || (x == 200 && y == 60))
        return key;
    return {static_cast<uint8_t>(x & 0xF8), static_cast<uint8_t>(y), 0x40};
}

TEST(PictureFirePart, FadesInThenBurnsAlongTheKeyColour) {
    show_support::HeadlessShow show;
    show_support::Register(104, show_support::Tga24(320, 240, FirePicture));
    PictureFirePart& part = pictureFirePart;
    EXPECT_FRESH_LOAD(part, frame, show.display);

    const uint16_t key = show_support::To565(FirePicture(319, 239));
    EXPECT_EQ(part.keyColour, key);
    ASSERT_EQ(part.seedCount, 4);
    EXPECT_EQ((std::vector<int>{part.seedColumns[0], part.seedRows[0], part.seedColumns[2],
                                part.seedRows[2], part.seedColumns[3], part.seedRows[3]}),
              (std::vector<int>{100, 50, 200, 60, 319, 239}));
    const std::vector<uint16_t> picture = show_support::Pixels(*part.picture);

    // Fade-in: black at L = 0, the level-127 mix at L = 20, the whole picture at L = 40; the key
    // pixels stay black all along.
    part.Render(mainWindow, show.display, 1000);
    for (uint16_t p : show_support::Pixels(*part.frame)) ASSERT_EQ(p, 0);
    part.Render(mainWindow, show.display, 1020);
    Image halfway(320, 240, 16);
    const RECT whole = {0, 0, 320, 240};
    halfway.BlitSprite(*part.picture, whole, whole, 127, key);
    EXPECT_EQ(show_support::Pixels(*part.frame), show_support::Pixels(halfway));
    EXPECT_NE(show_support::Pixels(*part.frame), picture);
    part.Render(mainWindow, show.display, 1040);
    std::vector<uint16_t> faded = picture;
    for (uint16_t& p : faded)
        if (p == key) p = 0;
    ASSERT_EQ(show_support::Pixels(*part.frame), faded);

    // First fire frame: one draw per seed, in list order.
    SetRandSeed(77);
    std::vector<int> draws;
    for (int i = 0; i < 4; ++i) draws.push_back(Rand());
    SetRandSeed(77);
    part.Render(mainWindow, show.display, 1041);
    const uint8_t* heat = part.heatMap->pixels;
    EXPECT_EQ(heat[239 * 320 + 319], draws[3] > 10000 ? 255 : 0);  // below the flames: kept
    const int lit0 = draws[0] > 10000 ? 255 : 0, lit1 = draws[1] > 10000 ? 255 : 0;
    EXPECT_EQ(heat[50 * 320 + 100], lit0 ? 62 : 0);  // the seed itself, (255 >> 2) - 1
    // The row above reads the freshly seeded row below it; two rows up nothing has arrived yet.
    const int above = (lit0 + lit1) >> 2;
    EXPECT_EQ(heat[49 * 320 + 100], above > 0 ? above - 1 : 0);
    EXPECT_EQ(heat[48 * 320 + 100], 0);
    // The screen moves a little towards the fire frame; below row 118 the fire frame is 0 and
    // leaves the faded-in picture alone.
    Image expected(320, 240, 16);
    for (int y = 0; y < 240; ++y)
        std::memcpy(expected.pixels + y * 640, faded.data() + y * 320, 640);
    expected.BlitSprite(*part.fireFrame, whole, whole, 10, 0);
    const std::vector<uint16_t> burning = show_support::Pixels(*part.frame);
    EXPECT_EQ(burning, show_support::Pixels(expected));
    for (int i = 118 * 320; i < 320 * 240; ++i) ASSERT_EQ(burning[i], faded[i]) << i;
    const std::vector<uint16_t> fire = show_support::Pixels(*part.fireFrame);
    EXPECT_EQ(fire[10 * 320 + 10], picture[10 * 320 + 10]);
    EXPECT_EQ(fire[200 * 320 + 10], 0);

    // From L = 150 nothing changes and no random number is drawn.
    SetRandSeed(5);
    part.Render(mainWindow, show.display, 1150);
    EXPECT_EQ(show_support::Pixels(*part.frame), burning);
    const int next = Rand();
    SetRandSeed(5);
    EXPECT_EQ(next, Rand());

    part.Present(mainWindow, show.display, 1150);
    int width = 0, height = 0;
    EXPECT_EQ(testkit::VisibleFrame(&width, &height), burning);
    part.Unload(mainWindow, show.display);
    EXPECT_EQ(part.frame, nullptr);
    part.Unload(mainWindow, show.display);
}

}  // namespace
