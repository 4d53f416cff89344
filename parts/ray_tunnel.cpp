// Ray-cast turning tunnel.
#include "parts/ray_tunnel.h"

#include <algorithm>
#include <cmath>

#include "image/numeric.h"

RayTunnelPart rayTunnelPart;

namespace ray_tunnel {

const float tunnelRadius = 5000.0f;

uint16_t RayPixel(const ray_cast::Vector& origin, const ray_cast::Vector& direction,
                  int32_t frameCount, const uint16_t* texels) {
    const ray_cast::Vector& o = origin;
    const ray_cast::Vector& d = direction;
    const float a = static_cast<float>(double(d.x) * d.x + double(d.y) * d.y);
    const float b = static_cast<float>(2.0 * (double(d.y) * o.y + double(o.x) * d.x));
    const float q = static_cast<float>(
        double(b) * b -
        (double(o.x) * o.x + double(o.y) * o.y - double(tunnelRadius) * tunnelRadius) * a);
    if (q < 0.0f) return 0;

    double m;
    if (q == 0.0f) {
        m = -(double(b) / a);
    } else {
        const double s = std::sqrt(double(q));
        m = std::min((s - b) / a, (-double(b) - s) / a);
    }
    const double hx = o.x + m * d.x;
    const double hy = o.y + m * d.y;
    const float hz = static_cast<float>(o.z + m * d.z);

    // -256 / 3.1415925, and the single-precision -0.00512 and 0.0002.
    const int32_t around = TruncToInt(std::atan2(hy, hx) * -81.4873347796133);
    const int32_t along = TruncToInt(double(hz) * double(-0.00512f));
    const uint32_t n = static_cast<uint32_t>(frameCount);
    const uint32_t u = (n - static_cast<uint32_t>(around)) & 0xFF;
    const uint32_t v = (n - static_cast<uint32_t>(along)) & 0xFF;

    const int64_t k = TruncToInt(double(hz) * double(0.0002f));
    return ray_cast::DepthShade(texels[v * 256 + u], k < 0 ? -k : k);
}

}  // namespace ray_tunnel

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void RayTunnelPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
    LoadCommon();
    // Half a degree about the y axis.
    const double angle = 0.008726646;
    turnStep.m[0][0] = static_cast<float>(std::cos(angle));
    turnStep.m[0][2] = static_cast<float>(-std::sin(angle));
    turnStep.m[2][0] = static_cast<float>(std::sin(angle));
    turnStep.m[2][2] = static_cast<float>(std::cos(angle));
}

void RayTunnelPart::Render(HWND, Display&, deciseconds) {
    MoveEye();
    const uint16_t* texels = ray_cast::TexelsOf(texture);
    CastBlocks([&] { return ray_tunnel::RayPixel(origin, direction, frameCount, texels); });
}

void RayTunnelPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
    FreeImages();
}
