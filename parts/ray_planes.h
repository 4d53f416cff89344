// Ray-cast rolling floor and ceiling.
#pragma once

#include <cstdint>

#include "parts/ray_cast.h"

namespace ray_planes {

// The planes lie at y = +planeDistance (ceiling) and y = -planeDistance (floor).
extern const float planeDistance;

// Colour of the block whose ray leaves `origin` along `direction`: the nearer plane ahead of the
// eye (m1 = (5000 - O.y) / D.y, m2 = (-5000 - O.y) / D.y rounded to float, the larger taken),
// texel ((n - trunc(Hx * -0.01)) mod 256, (n - trunc(Hz * -0.01)) mod 256) darkened by
// trunc(Hz * 0.0002); black when both planes lie behind the eye. A ray along the horizon gives
// non-finite hit values, which the checked conversions turn into a black block.
uint16_t RayPixel(const ray_cast::Vector& origin, const ray_cast::Vector& direction,
                  int32_t frameCount, const uint16_t* texels);

}  // namespace ray_planes

class RayPlanesPart : public RayCastPart {
  public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern RayPlanesPart rayPlanesPart;
