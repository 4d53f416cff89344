// Zooming text scroller with rings of glow sprites.
#pragma once

#include <cstdint>

#include "parts/parte.h"

class Image;
class Surface;

namespace text_scroll {

// Zoom factor for the ring angle theta: 0.9 - sin(theta) * 0.1 with both constants the
// single-precision values, computed in double.
double ZoomFactor(double theta);

// Screen-to-strip maps for zoom factor s: columns[i] = trunc(s * (i - 160) + 160.0) for the 320
// columns, rows[i] = trunc(s * (i - 120) + 120.0) for the 240 rows.
void BuildZoomMaps(double s, int32_t* columns, int32_t* rows);

// Fills the 320x240 16-bit `frame` from the 16-bit `strip`: pixel (c, r) takes strip column
// columns[c] of strip row scroll + rows[r]. Draws nothing unless every such pixel lies inside
// the strip.
void CopyZoomedWindow(Image& frame, const Image& strip, int32_t scroll, const int32_t* columns,
                      const int32_t* rows);

constexpr int32_t kRingSprites = 48;

// Top-left positions of the 48 glow sprites (six rings of eight) for the angle theta, in drawing
// order: rings at heights 30, 60, ... 180, each with angles a = 0, 0.7853981, ... accumulated in
// single precision; x = trunc(cos(a + theta) * 100 + 144), y = trunc(h - sin(a + theta) * 25).
void RingPositions(double theta, int32_t* xs, int32_t* ys);

}  // namespace text_scroll

class TextScrollPart : public Parte {
  public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;

    Image* sprite = nullptr;          // 32x32 ball of light from resource 115
    Image* frame = nullptr;           // the composed 320x240 frame
    Image* strip = nullptr;           // 320x1680 text from resource 113
    Surface* frameSurface = nullptr;  // over the frame's own memory
    int32_t columnMap[320] = {};      // strip column per screen column
    int32_t rowMap[240] = {};         // strip row offset per screen row
};

extern TextScrollPart textScrollPart;
