// The ray-cast tunnel on the headless display: its set-up, the frame count and Present.
#include <cmath>

#include "part_show_support.h"
#include "parts/ray_tunnel.h"

namespace {

using namespace show_support;

TEST(RayTunnelShow, LoadsTurnsCountsAndPresents) {
    HeadlessShow show;
    Register(109, Tga24(256, 256, [](int x, int y) {
                 return Bgr{uint8_t(x), uint8_t(255 - y), 200};
             }));
    RayTunnelPart& part = rayTunnelPart;
    EXPECT_FRESH_LOAD(part, frame, show.display);
    EXPECT_EQ(part.block, 2);
    EXPECT_EQ(part.columns, 160);
    EXPECT_EQ(part.rows, 120);
    EXPECT_EQ(part.frameCount, 0);
    EXPECT_EQ(part.focalDistance, 255.0f);
    EXPECT_EQ(part.loader, nullptr);
    EXPECT_EQ(part.texture->width, 256);
    const float c = static_cast<float>(std::cos(0.008726646));
    const float s = static_cast<float>(std::sin(0.008726646));
    EXPECT_EQ(part.turnStep.m[0][0], c);
    EXPECT_EQ(part.turnStep.m[0][2], -s);
    EXPECT_EQ(part.turnStep.m[2][0], s);
    EXPECT_EQ(part.turnStep.m[2][2], c);
    EXPECT_EQ(part.turnStep.m[1][1], 1.0f);

    // First frame: M equals R, the eye at the origin; a dark centre, a lit wall at the corners.
    part.Render(mainWindow, show.display, 680);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_EQ(part.orientation.m[i][j], part.turnStep.m[i][j]);
    }
    const std::vector<uint16_t> first = Pixels(*part.frame);
    EXPECT_EQ(first[120 * 320 + 160], 0);
    EXPECT_NE(first[0], 0);
    part.Present(mainWindow, show.display, 680);
    EXPECT_EQ(part.frameCount, 1);
    EXPECT_EQ(Visible(), first);

    // The eye rises with the frame count: 3000 sin(n * 0.02).
    part.Render(mainWindow, show.display, 681);
    EXPECT_EQ(part.origin.y, static_cast<float>(3000.0 * std::sin(double(0.02f))));

    // A failed lock still counts the frame and flips.
    PresentWithFailingLock(part, show.display, 681);
    EXPECT_EQ(part.frameCount, 2);

    part.Unload(mainWindow, show.display);
    EXPECT_EQ(part.frame, nullptr);
    EXPECT_EQ(part.texture, nullptr);
    part.Unload(mainWindow, show.display);
}

}  // namespace
