// The rolling planes' ray: ceiling or floor, texel and depth shade.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "part_show_support.h"
#include "parts/ray_planes.h"
#include "image/pixel_layout.h"

namespace {

using ray_cast::Vector;
using ray_planes::RayPixel;

void Use565() {
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
}

struct Texture {
    std::vector<uint16_t> texels = std::vector<uint16_t>(256 * 256, 0xFFFF);
    void Mark(int u, int v) { texels[v * 256 + u] = 0xF81F; }
};

TEST(RayPlanes, UpwardRaysHitTheCeilingAndDownwardRaysTheFloor) {
    Use565();
    const Vector eye = {1000.0f, 3000.0f, 0.0f, 1.0f};

    // Up: m = (5000 - 3000) / 100 = 20, H = (1200, 5000, 5100); the floor root -80 lies behind.
    // u = n - trunc(1200 * -0.01f) = n + 11, v = n - trunc(5100 * -0.01f) = n + 50 (each product
    // a hair short of the whole number with the single-precision factor), k = trunc(1.02) = 1.
    Texture up;
    up.Mark(7 + 11, 7 + 50);
    EXPECT_EQ(RayPixel(eye, {10.0f, 100.0f, 255.0f, 0.0f}, 7, up.texels.data()),
              (30 << 11) | 30);  // magenta less one step of red and blue; green stays at 0

    // Down: m = (-5000 - 3000) / -100 = 80, H = (1800, -5000, 20400): u = n + 17, v = n + 203,
    // k = trunc(4.08) = 4.
    Texture down;
    down.Mark((300 + 17) & 255, (300 + 203) & 255);
    EXPECT_EQ(RayPixel(eye, {10.0f, -100.0f, 255.0f, 0.0f}, 300, down.texels.data()),
              (27 << 11) | 27);
}

TEST(RayPlanes, ShadeDarkensWithDepthAndStopsAtBlack) {
    Use565();
    const Texture white;
    const Vector eye = {0.0f, 0.0f, 0.0f, 1.0f};
    // m = 50, Hz = 12750, k = trunc(12750 * 0.0002f) = trunc(2.5499999) = 2: red and blue lose 2,
    // green loses 2 << greenBits (four steps of its field).
    EXPECT_EQ(RayPixel(eye, {0.0f, -100.0f, 255.0f, 0.0f}, 0, white.texels.data()),
              (29 << 11) | (59 << 5) | 29);
    // m = 5000, Hz = 1275000: k = 254 darkens every channel to 0.
    EXPECT_EQ(RayPixel(eye, {0.0f, 1.0f, 255.0f, 0.0f}, 0, white.texels.data()), 0);
    // The steeper the ray, the nearer the hit and the brighter the block.
    uint16_t previous = 0;
    for (float dy = 5.0f; dy <= 5000.0f; dy *= 2.0f) {
        const uint16_t pixel = RayPixel(eye, {0.0f, dy, 255.0f, 0.0f}, 0, white.texels.data());
        EXPECT_GE(pixel & 0x1F, previous & 0x1F) << dy;
        previous = pixel;
    }
    EXPECT_EQ(previous, 0xFFFF);
}

TEST(RayPlanes, HorizonAndBehindTheEyeAreBlack) {
    Use565();
    const Texture white;
    const Vector eye = {0.0f, 1000.0f, 0.0f, 1.0f};
    // Along the horizon the hit lies at infinity (and Hx is not a number at the screen centre).
    EXPECT_EQ(RayPixel(eye, {0.0f, 0.0f, 255.0f, 0.0f}, 5, white.texels.data()), 0);
    EXPECT_EQ(RayPixel(eye, {-37.0f, 0.0f, 255.0f, 0.0f}, 5, white.texels.data()), 0);
    EXPECT_EQ(RayPixel(eye, {0.0f, -0.0f, 255.0f, 0.0f}, 5, white.texels.data()), 0);
    // An eye above the ceiling looking up sees both planes behind it.
    const Vector above = {0.0f, 6000.0f, 0.0f, 1.0f};
    EXPECT_EQ(RayPixel(above, {0.0f, 1.0f, 255.0f, 0.0f}, 5, white.texels.data()), 0);
}

}  // namespace

namespace {

TEST(RayPlanesPart, RollsAboutTheViewAxisAndDriftsWithTheBobbing) {
    show_support::HeadlessShow show;
    show_support::Register(
        109, show_support::Tga24(256, 256, [](int u, int v) {
            return show_support::Bgr{static_cast<uint8_t>(u), static_cast<uint8_t>(v), 0xFF};
        }));
    RayPlanesPart& part = rayPlanesPart;
    EXPECT_FRESH_LOAD(part, frame, show.display);
    // Half a degree about z.
    const float c = static_cast<float>(std::cos(0.008726646));
    const float s = static_cast<float>(std::sin(0.008726646));
    EXPECT_EQ(part.turnStep.m[0][0], c);
    EXPECT_EQ(part.turnStep.m[0][1], s);
    EXPECT_EQ(part.turnStep.m[1][0], -s);
    EXPECT_EQ(part.turnStep.m[1][1], c);
    EXPECT_EQ(part.turnStep.m[2][2], 1.0f);

    for (int frameNumber = 0; frameNumber < 3; ++frameNumber) {
        part.Render(mainWindow, show.display, 780);
        part.Present(mainWindow, show.display, 780);
    }
    EXPECT_EQ(part.frameCount, 3);
    // The third frame's turn moved the eye sideways by the second frame's height.
    const double height = float(3000.0 * std::sin(double(1.0f) * double(0.02f)));
    EXPECT_NEAR(part.origin.x, -height * s, 1e-4);
    EXPECT_NEAR(part.origin.y, 3000.0 * std::sin(2.0 * double(0.02f)), 1e-3);
    EXPECT_EQ(part.origin.z, 0.0f);

    const std::vector<uint16_t> shown = show_support::Pixels(*part.frame);
    // Every ray colours a 2x2 block.
    for (int y = 0; y < 240; y += 2)
        for (int x = 0; x < 320; x += 2) {
            ASSERT_EQ(shown[y * 320 + x], shown[y * 320 + x + 1]);
            ASSERT_EQ(shown[y * 320 + x], shown[(y + 1) * 320 + x]);
        }
    // The screen centre looks along the horizon and stays black; the top and bottom rows see
    // the near ceiling and floor, bright.
    EXPECT_EQ(shown[120 * 320 + 160], 0);
    EXPECT_NE(shown[0 * 320 + 160], 0);
    EXPECT_NE(shown[239 * 320 + 160], 0);
    int width = 0, height2 = 0;
    EXPECT_EQ(testkit::VisibleFrame(&width, &height2), shown);

    part.Unload(mainWindow, show.display);
    EXPECT_EQ(part.frame, nullptr);
}

}  // namespace
