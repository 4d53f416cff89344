// Ray-cast rolling floor and ceiling: one ray per 2x2 block against two textured planes, from an
// eye that bobs between them while the view rolls about the viewing axis.
#include "parts/ray_planes.h"

#include <cmath>

#include "image/numeric.h"

RayPlanesPart rayPlanesPart;

namespace ray_planes {

const float planeDistance = 5000.0f;

uint16_t RayPixel(const ray_cast::Vector& origin, const ray_cast::Vector& direction,
                  int32_t frameCount, const uint16_t* texels) {
    const ray_cast::Vector& o = origin;
    const ray_cast::Vector& d = direction;
    const double m1 = (double(planeDistance) - o.y) / d.y;
    const float m2 = static_cast<float>((-double(planeDistance) - o.y) / d.y);
    const double m = m1 < m2 ? double(m2) : m1;
    if (m < 0.0) return 0;

    const double hx = o.x + m * d.x;
    const double hz = o.z + m * d.z;

    // The single-precision -0.01 and 0.0002.
    const int32_t across = TruncToInt(hx * double(-0.01f));
    const int32_t along = TruncToInt(hz * double(-0.01f));
    const uint32_t n = static_cast<uint32_t>(frameCount);
    const uint32_t u = (n - static_cast<uint32_t>(across)) & 0xFF;
    const uint32_t v = (n - static_cast<uint32_t>(along)) & 0xFF;

    const int64_t k = TruncToInt(hz * double(0.0002f));
    return ray_cast::DepthShade(texels[v * 256 + u], k);
}

}  // namespace ray_planes

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void RayPlanesPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
    LoadCommon();
    // Half a degree about the z axis.
    const double angle = 0.008726646;
    turnStep.m[0][0] = static_cast<float>(std::cos(angle));
    turnStep.m[0][1] = static_cast<float>(std::sin(angle));
    turnStep.m[1][0] = static_cast<float>(-std::sin(angle));
    turnStep.m[1][1] = static_cast<float>(std::cos(angle));
}

void RayPlanesPart::Render(HWND, Display&, deciseconds) {
    MoveEye();
    const uint16_t* texels = ray_cast::TexelsOf(texture);
    CastBlocks([&] { return ray_planes::RayPixel(origin, direction, frameCount, texels); });
}

void RayPlanesPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
    FreeImages();
}
