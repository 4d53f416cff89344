// The drawing kernels: noise that tiles, shapes that sit where they should, lettering and gems
// that never blend into a key colour, palettes that survive the 5-6-5 truncation.
#include <gtest/gtest.h>

#include "noise.h"
#include "quantize.h"
#include "style.h"
#include "text.h"

namespace art {
namespace {

TEST(Noise, GradientAndFbmRepeatWithTheirPeriod) {
    for (int period : {3, 8, 64}) {
        for (float x = 0.1f; x < 5.0f; x += 0.73f) {
            for (float y = 0.2f; y < 5.0f; y += 0.61f) {
                const float p = float(period);
                EXPECT_NEAR(Gradient(x, y, period, 9), Gradient(x + p, y, period, 9), 1e-5f);
                EXPECT_NEAR(Gradient(x, y, period, 9), Gradient(x, y + p, period, 9), 1e-5f);
                EXPECT_NEAR(Fbm(x, y, period, 4, 0.5f, 2), Fbm(x + p, y - p, period, 4, 0.5f, 2),
                            1e-5f);
            }
        }
    }
    // Not a constant: the field varies within one period.
    float lo = 1, hi = -1;
    for (float x = 0; x < 8; x += 0.37f) {
        lo = std::min(lo, Gradient(x, 1.3f, 8, 1));
        hi = std::max(hi, Gradient(x, 1.3f, 8, 1));
    }
    EXPECT_GT(hi - lo, 0.5f);
}

TEST(Noise, CellsRepeatWithTheirGrid) {
    for (float x = 0.05f; x < 7.0f; x += 0.9f) {
        float a1, a2, b1, b2;
        uint32_t ida, idb;
        Cells(x, 2.5f, 7, 4, a1, a2, ida);
        Cells(x + 7.0f, 2.5f - 7.0f, 7, 4, b1, b2, idb);
        EXPECT_NEAR(a1, b1, 1e-4f);
        EXPECT_NEAR(a2, b2, 1e-4f);
        EXPECT_EQ(ida, idb);
        EXPECT_LE(a1, a2);
    }
}

TEST(Noise, RandomStreamsAreReproducibleAndInRange) {
    Random a(7), b(7), c(8);
    int differ = 0;
    for (int i = 0; i < 1000; ++i) {
        const float u = a.Unit();
        EXPECT_EQ(u, b.Unit());
        EXPECT_GE(u, 0.0f);
        EXPECT_LT(u, 1.0f);
        differ += u != c.Unit();
    }
    EXPECT_GT(differ, 990);
}

TEST(Shapes, HexagonPointsUpAndHasFlatSides) {
    const float r = 10.0f, apothem = r * 0.8660254f;
    EXPECT_NEAR(SdHexagon(0, -r, 0, 0, r), 0.0f, 1e-4f);  // top vertex
    EXPECT_NEAR(SdHexagon(0, r, 0, 0, r), 0.0f, 1e-4f);   // bottom vertex
    EXPECT_NEAR(SdHexagon(apothem, 0, 0, 0, r), 0.0f, 1e-4f);
    EXPECT_NEAR(SdHexagon(-apothem, 3, 0, 0, r), 0.0f, 1e-4f);  // upright side
    EXPECT_NEAR(SdHexagon(0, 0, 0, 0, r), -apothem, 1e-4f);
    EXPECT_GT(SdHexagon(r * 0.95f, 0, 0, 0, r), 0.0f);  // no vertex to the side
}

TEST(Shapes, TaperedCapsuleRadiiAtItsEnds) {
    EXPECT_NEAR(SdCapsuleTapered(0, 0, 0, 0, 10, 0, 3, 1), -3.0f, 1e-5f);
    EXPECT_NEAR(SdCapsuleTapered(10, 0, 0, 0, 10, 0, 3, 1), -1.0f, 1e-5f);
    EXPECT_NEAR(SdCapsuleTapered(5, 4, 0, 0, 10, 0, 2, 2), 2.0f, 1e-5f);
}

TEST(Lettering, RimIsHardAndOnlyItChangesTheCanvas) {
    Font font("DejaVuSans-Bold.ttf");
    Mask letters(120, 30);
    font.Draw(letters, "MORVANITE", 16.0f, 4.0f, 22.0f);
    const float width = font.Measure("MORVANITE", 16.0f);
    int left = 120, right = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            if (letters.at(x, y) > 0.5f) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_NEAR(float(right - left + 1), width, 3.0f);

    const Rgb key = Hex(0x00FF00);
    Canvas c(120, 30, key);
    PaintLettering(c, letters, Lettering{}, 10, 22);
    const Mask rim = RimOf(letters, 1.5f);
    int painted = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 120; ++x) {
            const float m = rim.at(x, y);
            ASSERT_TRUE(m == 0.0f || m == 1.0f);
            const Rgb8 v = ToRgb8(c.at(x, y));
            if (m == 0) {
                ASSERT_EQ(v, (Rgb8{0, 255, 0}));
            } else {
                ++painted;
                ASSERT_LT(v.g, 240) << x << "," << y;  // no green from the key mixed in
            }
            if (letters.at(x, y) > 0) {
                ASSERT_EQ(m, 1.0f);  // every letter pixel lies inside the rim
            }
        }
    }
    EXPECT_GT(painted, 300);
}

TEST(Gem, HardEdgeNeverBlendsWithTheBackground) {
    Canvas c(40, 40, Hex(0x00FF00));
    DrawGem(c, 20.3f, 19.6f, 15.0f, true);
    int gem = 0;
    for (const Rgb& p : c.px) {
        const Rgb8 v = ToRgb8(p);
        if (v == Rgb8{0, 255, 0}) continue;
        ++gem;
        // Every colour of the gem has no more green than red; a blend with the key would.
        EXPECT_LE(v.g, v.r) << int(v.r) << " " << int(v.g) << " " << int(v.b);
    }
    EXPECT_GT(gem, 500);  // about 2.6 r squared
    EXPECT_LT(gem, 650);
}

TEST(Quantize, PaletteEntriesPassTheTruncationUnchanged) {
    Canvas c(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            c.at(x, y) = Rgb{float(x) / 63.0f, float(y) / 63.0f, float(x + y) / 126.0f};
    const Indexed q = Quantize(c, QuantizeOptions{});
    // Each channel is a 5-bit level widened by repeating its top bits, so the display's
    // truncation keeps exactly the level the dithering counted on.
    for (size_t i = 0; i < q.index.size(); ++i) {
        for (uint8_t v : q.palette[q.index[i]]) ASSERT_EQ(v, ((v >> 3) << 3) | (v >> 5)) << int(v);
    }
    // The gradient keeps its direction through the palette: dark in one corner, light in the
    // opposite one.
    const auto& dark = q.palette[q.index[0]];
    const auto& light = q.palette[q.index[63 * 64 + 63]];
    EXPECT_LT(dark[0] + dark[1] + dark[2], 60);
    EXPECT_GT(light[0] + light[1] + light[2], 600);
}

}  // namespace
}  // namespace art
