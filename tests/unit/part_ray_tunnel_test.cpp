// The ray-cast tunnel: matrix routines, depth shade, the ray per block and the block raster.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "parts/ray_cast.h"
#include "parts/ray_tunnel.h"
#include "video/display.h"
#include "image/pixel_layout.h"

namespace {

using ray_cast::Matrix;
using ray_cast::Vector;

void Use565() {
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
}

// A texture whose texel (u, v) tells its own place.
std::vector<uint16_t> PlaceTexture() {
    std::vector<uint16_t> texels(256 * 256);
    for (int v = 0; v < 256; ++v) {
        for (int u = 0; u < 256; ++u) texels[v * 256 + u] = static_cast<uint16_t>(v * 256 + u);
    }
    return texels;
}

TEST(RayCastMatrix, RowVectorOnTheLeftAndRowThreeTranslates) {
    Matrix m = ray_cast::Identity();
    m.m[0][1] = 2.0f;  // x feeds y
    m.m[3][0] = 5.0f;
    m.m[3][1] = 6.0f;
    m.m[3][2] = 7.0f;
    Vector out;
    ray_cast::Transform(out, Vector{1.0f, 10.0f, 100.0f, 1.0f}, m);
    EXPECT_EQ(out.x, 6.0f);
    EXPECT_EQ(out.y, 18.0f);
    EXPECT_EQ(out.z, 107.0f);
    EXPECT_EQ(out.w, 1.0f);
    // A direction (w = 0) is not translated.
    ray_cast::Transform(out, Vector{1.0f, 0.0f, 0.0f, 0.0f}, m);
    EXPECT_EQ(out.x, 1.0f);
    EXPECT_EQ(out.y, 2.0f);
    EXPECT_EQ(out.z, 0.0f);
}

TEST(RayCastMatrix, MultiplyIsMTimesRRoundedOnce) {
    Matrix m = ray_cast::Identity(), r = ray_cast::Identity();
    m.m[0][1] = 3.0f;
    r.m[1][0] = 5.0f;
    ray_cast::Multiply(m, r);
    // (M x R)[0][0] = 1 + 3 * 5; R x M would give 1.
    EXPECT_EQ(m.m[0][0], 16.0f);
    EXPECT_EQ(m.m[1][0], 5.0f);
    EXPECT_EQ(m.m[0][1], 3.0f);

    // Each element is a double sum rounded once: 1 + 2^-30 - 1 survives in double, not in float.
    Matrix a{}, b{};
    a.m[0][0] = 1.0f;
    a.m[0][1] = 1.0f;
    a.m[0][2] = 1.0f;
    b.m[0][0] = 1.0f;
    b.m[1][0] = std::ldexp(1.0f, -30);
    b.m[2][0] = -1.0f;
    ray_cast::Multiply(a, b);
    EXPECT_EQ(a.m[0][0], std::ldexp(1.0f, -30));
}

TEST(RayCastShade, GreenLosesKShiftedByItsWidthAndChannelsStopAtZero) {
    Use565();
    // Red 0xF800 - (1 << 11), green 0x07E0 - (1 << 6), blue 0x1F - 1.
    EXPECT_EQ(ray_cast::DepthShade(0xFFFF, 1), 0xF7BE);
    EXPECT_EQ(ray_cast::DepthShade(0xFFFF, 0), 0xFFFF);
    EXPECT_EQ(ray_cast::DepthShade(0x0821, 2), 0x0000 | 0x0000 | 0x0000);  // each channel below k
    EXPECT_EQ(ray_cast::DepthShade(0xFFFF, INT32_MAX), 0);
    EXPECT_EQ(ray_cast::DepthShade(0xFFFF, int64_t(1) << 31), 0);
    // Darkening only: no channel ever rises.
    for (uint32_t texel = 0; texel < 0x10000; texel += 97) {
        for (int64_t k : {0, 1, 3, 17, 40}) {
            const uint16_t p = ray_cast::DepthShade(static_cast<uint16_t>(texel), k);
            ASSERT_LE(p & 0xF800, texel & 0xF800);
            ASSERT_LE(p & 0x07E0, texel & 0x07E0);
            ASSERT_LE(p & 0x001F, texel & 0x001F);
        }
    }
}

TEST(RayTunnelRay, TakesTheRootBehindTheEyeAndWrapsTheTexture) {
    Use565();
    const std::vector<uint16_t> texels = PlaceTexture();
    const Vector eye{0.0f, 0.0f, 0.0f, 1.0f};
    // Looking along +x the wall is hit behind the eye at (-5000, 0, 0): angle pi, u = n + 256.
    EXPECT_EQ(ray_tunnel::RayPixel(eye, Vector{1.0f, 0.0f, 0.0f, 0.0f}, 5, texels.data()),
              5 * 256 + 5);
    // Looking up, the hit is at (0, -5000): angle -pi / 2 gives 128, u = 3 - 128 wraps to 131.
    EXPECT_EQ(ray_tunnel::RayPixel(eye, Vector{0.0f, 1.0f, 0.0f, 0.0f}, 3, texels.data()),
              3 * 256 + 131);
    // Only the low byte of the frame count matters.
    EXPECT_EQ(ray_tunnel::RayPixel(eye, Vector{0.0f, 1.0f, 0.0f, 0.0f}, 259, texels.data()),
              3 * 256 + 131);
}

TEST(RayTunnelRay, EyeInsideTheRadiusNeverMisses) {
    Use565();
    std::vector<uint16_t> white(256 * 256, 0xFFFF);
    for (float height : {-3000.0f, -1234.5f, 0.0f, 2999.0f, 3000.0f}) {
        const Vector origin{0.0f, height, 0.0f, 1.0f};
        for (int j = 0; j < 160; j += 7) {
            for (int i = 0; i < 120; i += 7) {
                // Directions off the axis, so the hit stays near and undarkened.
                const Vector d{float(2 * j - 160) + 0.5f, float(2 * i - 120) + 0.5f, 0.0f, 0.0f};
                ASSERT_EQ(ray_tunnel::RayPixel(origin, d, 0, white.data()), 0xFFFF)
                    << height << " " << i << " " << j;
            }
        }
    }
}

TEST(RayTunnelRay, DegenerateRaysGiveADefinedColour) {
    Use565();
    const std::vector<uint16_t> texels = PlaceTexture();
    const Vector eye{0.0f, 0.0f, 0.0f, 1.0f};
    // Straight down the axis: A = 0, B = 0, Q = 0, m is no number: texel (n, n), undarkened.
    EXPECT_EQ(ray_tunnel::RayPixel(eye, Vector{0.0f, 0.0f, 255.0f, 0.0f}, 7, texels.data()),
              7 * 256 + 7);
    // Nearly down the axis: a huge m, the hit far away and the shade saturated to black.
    EXPECT_EQ(ray_tunnel::RayPixel(eye, Vector{1e-20f, 0.0f, 255.0f, 0.0f}, 7, texels.data()), 0);
    EXPECT_EQ(ray_tunnel::RayPixel(eye, Vector{-1e-6f, 1e-6f, 255.0f, 0.0f}, 7, texels.data()), 0);
}

// A tunnel part with its members filled by hand, without resources or a display.
struct HandLoadedTunnel : RayTunnelPart {
    HandLoadedTunnel() {
        frame = new Image(320, 240, 16);
        texture = new Image(256, 256, 16);
        uint16_t* texels = reinterpret_cast<uint16_t*>(texture->pixels);
        for (int i = 0; i < 256 * 256; ++i) texels[i] = static_cast<uint16_t>(i | 0x8410);
        block = 2;
        columns = 160;
        rows = 120;
        orientation = ray_cast::Identity();
        turnStep = ray_cast::Identity();
        const double a = 0.008726646;
        turnStep.m[0][0] = static_cast<float>(std::cos(a));
        turnStep.m[0][2] = static_cast<float>(-std::sin(a));
        turnStep.m[2][0] = static_cast<float>(std::sin(a));
        turnStep.m[2][2] = static_cast<float>(std::cos(a));
        eye = {0.0f, 0.0f, 0.0f, 1.0f};
        focalDistance = 255.0f;
    }
    ~HandLoadedTunnel() { FreeImages(); }
    uint16_t At(int x, int y) const {
        return reinterpret_cast<const uint16_t*>(frame->pixels)[y * 320 + x];
    }
};

TEST(RayTunnelRaster, EveryRayFillsATwoByTwoSquare) {
    Use565();
    HandLoadedTunnel part;
    part.Render(nullptr, mainDisplay, 0);
    // The first frame: M equals R, the eye at the origin.
    EXPECT_EQ(part.orientation.m[0][0], part.turnStep.m[0][0]);
    EXPECT_EQ(part.origin.y, 0.0f);
    int differing = 0;
    for (int y = 0; y < 240; y += 2) {
        for (int x = 0; x < 320; x += 2) {
            const uint16_t p = part.At(x, y);
            ASSERT_EQ(part.At(x + 1, y), p);
            ASSERT_EQ(part.At(x, y + 1), p);
            ASSERT_EQ(part.At(x + 1, y + 1), p);
            if (x > 0 && p != part.At(x - 2, y)) ++differing;
        }
    }
    EXPECT_GT(differing, 1000);
    // The block at the top-left corner is the ray through (-160, -120, 255) turned by R.
    Vector d;
    ray_cast::Transform(d, Vector{-160.0f, -120.0f, 255.0f, 0.0f}, part.orientation);
    EXPECT_EQ(part.At(0, 0),
              ray_tunnel::RayPixel(part.origin, d, 0, ray_cast::TexelsOf(part.texture)));
}

TEST(RayTunnelRaster, TheViewTurnsHalfWayWithoutFault) {
    Use565();
    HandLoadedTunnel part;
    // Start a step and a half short of the half turn, where the centre ray runs along the axis
    // (A at or near 0), and turn through it.
    const double start = 3.141592653589793 - 1.5 * 0.008726646;
    part.orientation.m[0][0] = static_cast<float>(std::cos(start));
    part.orientation.m[0][2] = static_cast<float>(-std::sin(start));
    part.orientation.m[2][0] = static_cast<float>(std::sin(start));
    part.orientation.m[2][2] = static_cast<float>(std::cos(start));
    part.frameCount = 359;
    for (int i = 0; i < 4; ++i) {
        part.Render(nullptr, mainDisplay, 0);
        part.frameCount += 1;
        EXPECT_LT(std::fabs(part.origin.y), 3000.5f);
        // Down the axis the wall is far away: the centre is dark, the rest of the view lit.
        EXPECT_EQ(part.At(160, 120), 0) << i;
        EXPECT_NE(part.At(0, 0), 0) << i;
    }
}

TEST(RayCastTexels, MissingOrSmallTexturesReadAsBlack) {
    EXPECT_EQ(ray_cast::TexelsOf(nullptr)[65535], 0);
    Image small(16, 16, 16);
    EXPECT_EQ(ray_cast::TexelsOf(&small)[65535], 0);
    Image wide(512, 128, 16);
    EXPECT_EQ(ray_cast::TexelsOf(&wide), reinterpret_cast<const uint16_t*>(wide.pixels));
}

}  // namespace
