// The morphing tunnel on the headless display: the points assemble the picture, which then fades.
#include <set>

#include "part_show_support.h"
#include "parts/morph_tunnel.h"
#include "parts/tunnel_lookup.h"

namespace {

using namespace show_support;

Bgr PicturePixel(int x, int y) {
    if (x >= 100 && x < 140 && y >= 50 && y < 80) {
        return Bgr{uint8_t(8 * (x - 100)), 200, uint8_t(8 * (y - 50) + 10)};
    }
    if (x == y) return Bgr{255, 255, 255};
    return Bgr{0, 0, 0};
}

TEST(MorphTunnelShow, PointsAssembleThePictureWhichThenFadesToThree) {
    HeadlessShow show;
    Register(109, Tga24(256, 256, [](int x, int y) {
                 return Bgr{uint8_t(x), uint8_t(y), uint8_t(x ^ y)};
             }));
    Register(147, Tga24(320, 240, PicturePixel));
    MorphTunnelPart& part = morphTunnelPart;
    EXPECT_FRESH_LOAD(part, frame, show.display);

    std::vector<uint8_t> angle(76800), depth(76800);
    morph_tunnel::BuildTables(angle.data(), depth.data());
    EXPECT_EQ(std::vector<uint8_t>(part.angleTable->pixels, part.angleTable->pixels + 76800),
              angle);
    const std::vector<uint16_t> texels = Pixels(*part.texture);
    auto tunnel = [&](int frameNumber) {
        std::vector<uint16_t> f(76800);
        const uint8_t scroll = static_cast<uint8_t>(2 * frameNumber);
        tunnel_lookup::Draw(f.data(), depth.data(), angle.data(), texels.data(), scroll, scroll,
                            76800);
        return f;
    };
    std::vector<uint16_t> picture(76800);
    std::set<uint16_t> colours;
    int nonBlack = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            picture[y * 320 + x] = To565(PicturePixel(x, y));
            if (picture[y * 320 + x] != 0) ++nonBlack, colours.insert(picture[y * 320 + x]);
        }
    }
    EXPECT_EQ(part.points.count, nonBlack);
    EXPECT_EQ(part.points.steps, 200);

    // Frame 1: the tunnel, with the points near their random starts in their targets' colours.
    part.Render(mainWindow, show.display, 420);
    std::vector<uint16_t> f = Pixels(*part.frame), expected = tunnel(1);
    int covered = 0, home = 0;
    for (int k = 0; k < 76800; ++k) {
        if (f[k] == expected[k]) continue;
        ++covered;
        ASSERT_EQ(colours.count(f[k]), 1u) << k;
        home += f[k] == picture[k];
    }
    EXPECT_GT(covered, nonBlack * 9 / 10);
    EXPECT_LT(home, nonBlack / 10);

    // Frame 201 adopts the target: the picture without its black pixels, exactly.
    for (int i = 2; i <= 201; ++i) part.Render(mainWindow, show.display, 420 + i / 6);
    EXPECT_EQ(part.points.steps, -1);
    auto expectPicture = [&](int frameNumber, int level) {
        const std::vector<uint16_t> got = Pixels(*part.frame), under = tunnel(frameNumber);
        for (int k = 0; k < 76800; ++k) {
            const uint16_t want =
                picture[k] == 0 ? under[k]
                                : (level == 255 ? picture[k] : Mix565(picture[k], under[k], level));
            ASSERT_EQ(got[k], want) << "frame " << frameNumber << " pixel " << k;
        }
    };
    expectPicture(201, 255);

    // Sprite frames: level 255 up to local time 80, then 3 less per frame down to 3.
    part.Render(mainWindow, show.display, 500);
    expectPicture(202, 255);
    part.Render(mainWindow, show.display, 501);
    expectPicture(203, 252);
    for (int i = 204; i <= 286; ++i) part.Render(mainWindow, show.display, 501 + (i - 203) / 6);
    expectPicture(286, 3);
    part.Render(mainWindow, show.display, 519);
    expectPicture(287, 3);

    part.Present(mainWindow, show.display, 519);
    EXPECT_EQ(Visible(), Pixels(*part.frame));
    PresentWithFailingLock(part, show.display, 519);

    part.Unload(mainWindow, show.display);
    EXPECT_EQ(part.frame, nullptr);
    EXPECT_EQ(part.picture, nullptr);
    EXPECT_EQ(part.points.current, nullptr);
    part.Unload(mainWindow, show.display);
}

}  // namespace
