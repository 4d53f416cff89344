// Ray-cast turning tunnel: one ray per 2x2 block from an eye bobbing inside a cylinder of radius
// 5000 around the z axis, the view turning about the vertical axis by half a degree per frame.
#pragma once

#include "parts/ray_cast.h"

namespace ray_tunnel {

// The tunnel radius.
extern const float tunnelRadius;

// The pixel of one ray from `origin` along `direction` against the cylinder x^2 + y^2 = 5000^2:
// the texel at column (n - trunc(atan2(Hy, Hx) * -256 / 3.1415925)) mod 256 and row
// (n - trunc(Hz * -0.00512f)) mod 256 of the hit point H that the smaller root gives, darkened by
// |trunc(Hz * 0.0002f)|. A ray that misses the cylinder is black. Degenerate rays (A at or near 0)
// go through the checked conversion and give a defined colour.
uint16_t RayPixel(const ray_cast::Vector& origin, const ray_cast::Vector& direction,
                  int32_t frameCount, const uint16_t* texels);

}  // namespace ray_tunnel

class RayTunnelPart : public RayCastPart {
  public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern RayTunnelPart rayTunnelPart;
