// The ring interference on the headless display: windows, strips, the rising figure and Present.
#include "image/numeric.h"
#include "part_show_support.h"
#include "parts/ring_interference.h"

namespace {

using namespace show_support;

const Bgr kKey{255, 0, 255};

// A strip or figure: the key colour in its top-left corner and down its left edge, one colour
// elsewhere.
std::vector<uint8_t> Sprite(int width, int height, Bgr colour) {
    return Tga24(width, height, [=](int x, int y) { return (x < 2 || y == 0) ? kKey : colour; });
}

TEST(RingInterferenceShow, WindowsStripsAndFigure) {
    HeadlessShow show;
    const Bgr strip1{0, 255, 0}, figure{40, 80, 250};
    Register(131, Sprite(256, 25, strip1));
    Register(132, Sprite(172, 24, Bgr{255, 0, 0}));
    Register(133, Sprite(264, 24, Bgr{0, 0, 255}));
    Register(107, Sprite(92, 150, figure));
    RingInterferencePart& part = ringInterferencePart;
    EXPECT_FRESH_LOAD(part, frame, show.display);
    EXPECT_EQ(part.key1, To565(kKey));
    EXPECT_EQ(part.key3, To565(kKey));
    EXPECT_EQ(part.figureKey, To565(kKey));
    EXPECT_EQ(part.windowA.x, 320);
    EXPECT_EQ(part.windowB.y, 200);
    EXPECT_NE(part.frameSurface, nullptr);
    std::vector<uint16_t> rings(640 * 480);
    ring_interference::DrawRings(rings.data());
    EXPECT_EQ(Pixels(*part.rings), rings);

    double phase = 0.0;
    std::vector<uint16_t> under(320 * 240);
    auto render = [&](deciseconds t) {
        part.Render(mainWindow, show.display, t);
        phase += 0.017444444444444446;
        ring_interference::Interfere(under.data(), rings.data(), part.windowA, part.windowB, phase);
    };

    // Frame 1: the windows have moved once; the figure shows its top 73 rows at the bottom right.
    render(520);
    EXPECT_EQ(part.windowA.x, 323);
    EXPECT_EQ(part.windowA.y, 242);
    EXPECT_EQ(part.windowB.x, 46);
    EXPECT_EQ(part.windowB.y, 199);
    const int rows = ring_interference::FigureRows(phase);
    EXPECT_EQ(rows, 73);
    std::vector<uint16_t> f = Pixels(*part.frame);
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const int fx = x - 227, fy = y - (240 - rows);
            const bool onFigure = fx >= 2 && fx < 92 && fy >= 1 && fy < rows;
            ASSERT_EQ(f[y * 320 + x], onFigure ? To565(figure) : under[y * 320 + x])
                << x << "," << y;
        }
    }

    // Local time 21: strip 1 at (31, 61) at level 26.
    render(541);
    f = Pixels(*part.frame);
    EXPECT_EQ(part.localTime, 21);
    for (int y = 61; y < 61 + 25; ++y) {
        for (int x = 31; x < 31 + 256; ++x) {
            const int sx = x - 31, sy = y - 61;
            const uint16_t want = (sx < 2 || sy == 0)
                                      ? under[y * 320 + x]
                                      : Mix565(To565(strip1), under[y * 320 + x], 26);
            ASSERT_EQ(f[y * 320 + x], want) << x << "," << y;
        }
    }
    EXPECT_EQ(part.level, 16);  // strip 3, drawn last

    part.Present(mainWindow, show.display, 541);
    EXPECT_EQ(Visible(), f);

    part.Unload(mainWindow, show.display);
    EXPECT_EQ(part.frameSurface, nullptr);
    EXPECT_EQ(part.rings, nullptr);
    part.Unload(mainWindow, show.display);
}

}  // namespace
