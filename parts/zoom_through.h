// Wobbling picture that zooms through to a glowing backdrop.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "parts/parte.h"

namespace zoomthrough {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

// wave[x] = trunc(sin(x * 0.1f + phase) * (20 - localTime)), in double.
void BuildWave(int32_t (&wave)[kWidth], double phase, int32_t localTime);

// frame(x, y) = picture(x, y + wave[x]), or 0 where y + wave[x] leaves rows 0..239.
void DrawWave(Image& frame, const Image& picture, const int32_t (&wave)[kWidth]);

// columns[x] = trunc((x - 160) * zoom + 160.0), rows[y] = trunc((y - 120) * zoom + 120.0).
void BuildZoomMaps(int32_t (&columns)[kWidth], int32_t (&rows)[kHeight], double zoom);

// frame(x, y) = picture(columns[x], rows[y]), or backdrop(x, y) where that picture pixel is 0.
// Nothing is written unless every image is 320x240x16 with packed rows and every map entry lies
// inside the frame.
void DrawZoomThrough(Image& frame, const Image& picture, const Image& backdrop,
                     const int32_t (&columns)[kWidth], const int32_t (&rows)[kHeight]);

// After a zoom-through frame: zoom = cos(angle), clamped below at 0.0; then angle +=
// 0.008726646111111111.
void AdvanceZoom(double& zoom, double& angle);

}  // namespace zoomthrough

class ZoomThroughPart : public Parte {
  public:
    Image* frame = nullptr;
    Image* picture = nullptr;   // TGA 112, true colour
    Image* backdrop = nullptr;  // TGA 136, the glow
    int32_t wave[zoomthrough::kWidth] = {};
    int32_t columnMap[zoomthrough::kWidth] = {};
    int32_t rowMap[zoomthrough::kHeight] = {};
    int32_t localTime = 0;

    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern ZoomThroughPart zoomThroughPart;
