// Additive sprite ring with zoom-blur trails.
#pragma once

#include <cstdint>

#include "parts/parte.h"

class Image;

namespace zoom_trails {

struct SpritePlace {
    int32_t x;
    int32_t y;
};

// Top-left positions of sprites 1, 2 and 3 of group i out of `groups` for the given phase and
// radius: theta = i * 6.283185005187988 / groups + phase in double, then
// sprite 1 at (144 - trunc(r sin theta), 104 - trunc(r cos theta)),
// sprite 2 at (144 - trunc((15 - r) cos theta), 104 - trunc((60 - r) sin theta)),
// sprite 3 at (144 - trunc((r - 30) sin theta), 104 - trunc((r - 25) cos theta)).
void GroupPlaces(int32_t i, int32_t groups, float phase, float radius, SpritePlace (&places)[3]);

}  // namespace zoom_trails

class ZoomTrailsPart : public Parte {
  public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;

    Image* workFrame = nullptr;   // A: the sprites' canvas, then the target of the enlargement
    Image* shownFrame = nullptr;  // B: what Present puts on screen
    Image* sprite1 = nullptr;     // 32x32 glows from resources 115, 116, 117
    Image* sprite2 = nullptr;
    Image* sprite3 = nullptr;
    int32_t localTime = 0;  // deciseconds since the first Render
    int32_t columnSource[320] = {};
    int32_t rowSource[240] = {};
    int32_t groupCount = 0;
};

extern ZoomTrailsPart zoomTrailsPart;
