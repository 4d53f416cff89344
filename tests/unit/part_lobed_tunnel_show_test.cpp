// The lobed tunnel on the headless display: the tunnel and the shaking picture.
#include "image/numeric.h"
#include "part_show_support.h"
#include "parts/lobed_tunnel.h"
#include "parts/tunnel_lookup.h"

namespace {

using namespace show_support;

// An "F" on black: no symmetry, so a flipped or shifted picture shows.
Bgr PicturePixel(int x, int y) {
    const bool stem = x >= 20 && x < 40 && y >= 10 && y < 140;
    const bool top = x >= 20 && x < 150 && y >= 10 && y < 30;
    const bool middle = x >= 20 && x < 110 && y >= 60 && y < 80;
    return (stem || top || middle) ? Bgr{30, uint8_t(100 + y), 240} : Bgr{0, 0, 0};
}

TEST(LobedTunnelShow, TunnelWithThePictureShaken) {
    HeadlessShow show;
    Register(128, Tga24(256, 256, [](int x, int y) {
                 return Bgr{uint8_t(x * 3), uint8_t(y), uint8_t(x + y)};
             }));
    Register(134, Tga24(200, 154, PicturePixel));
    LobedTunnelPart& part = lobedTunnelPart;
    EXPECT_FRESH_LOAD(part, frame, show.display);
    EXPECT_EQ(part.picture->width, 200);
    EXPECT_EQ(part.picture->height, 154);

    std::vector<uint8_t> depth(76800), angle(76800);
    lobed_tunnel::BuildTables(depth.data(), angle.data());
    const std::vector<uint16_t> texels = Pixels(*part.texture);

    for (int frameNumber = 1; frameNumber <= 3; ++frameNumber) {
        SetRandSeed(977u * frameNumber);
        const lobed_tunnel::Shake shake = lobed_tunnel::DrawShake();
        SetRandSeed(977u * frameNumber);
        part.Render(mainWindow, show.display, 600);

        std::vector<uint16_t> want(76800);
        tunnel_lookup::Draw(want.data(), angle.data(), depth.data(), texels.data(),
                            static_cast<uint8_t>(6 * frameNumber),
                            static_cast<uint8_t>(frameNumber), 76800);
        for (int y = 0; y < 154; ++y) {
            for (int x = 0; x < 200; ++x) {
                const uint16_t p = To565(PicturePixel(x, y));
                if (p != 0) want[(50 + shake.dy + y) * 320 + 60 + shake.dx + x] = p;
            }
        }
        ASSERT_EQ(Pixels(*part.frame), want) << "frame " << frameNumber;
    }
    SetRandSeed(1);

    part.Present(mainWindow, show.display, 600);
    EXPECT_EQ(Visible(), Pixels(*part.frame));
    PresentWithFailingLock(part, show.display, 600);

    part.Unload(mainWindow, show.display);
    EXPECT_EQ(part.frame, nullptr);
    EXPECT_EQ(part.angleTable, nullptr);
    part.Unload(mainWindow, show.display);
}

}  // namespace
