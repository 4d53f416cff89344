// Opening picture with fading strips and a zoom-blur dissolve.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "image/tga.h"
#include "parts/parte.h"
#include "parts/zoom_blur_kernels.h"
#include "video/display.h"

namespace opening {

// Where and how strongly strip 1, 2 or 3 is drawn at local time L.
struct StripPlacement {
    bool active;  // inside the strip's open time window
    int32_t x;    // top-left corner on the frame
    int32_t y;
    uint8_t level;  // trunc(255 * sin(a)): 0..254 inside the window
};

// Strip 1: 40 < L < 70 at (70 - L, 120 - L), a = (L - 40) * pi/30; strip 2: 50 < L < 90 at
// (L + 10, L + 100), a = (L - 50) * pi/40; strip 3: 70 < L < 100 at ((L >> 2) + 20, 130 - L),
// a = (L - 70) * pi/30, with pi the single-precision 3.1415925. Any other strip is never active.
StripPlacement PlaceStrip(int32_t strip, int32_t localTime);

}  // namespace opening

class OpeningZoomBlurPart : public Parte {
  public:
    Image* work = nullptr;  // the picture, later the target of the enlargement
    Image* shown = nullptr;
    Surface* shownSurface = nullptr;    // shares the shown image's pixels
    TgaImage* pictureLoader = nullptr;  // in use during Load only
    TgaImage* stripLoader = nullptr;    // in use during Load only
    Image* strip1 = nullptr;
    Image* strip2 = nullptr;
    Image* strip3 = nullptr;
    uint8_t level = 0;  // last strip level computed
    int32_t columnMap[zoomblur::kWidth] = {};
    int32_t rowMap[zoomblur::kHeight] = {};
    uint16_t key1 = 0;
    uint16_t key2 = 0;
    uint16_t key3 = 0;
    int32_t localTime = 0;
    int32_t frameCount = 0;  // Presents since Load

    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern OpeningZoomBlurPart openingZoomBlurPart;
