// Rotating and zooming texture blended with a picture.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "image/tga.h"
#include "parts/parte.h"
#include "video/display.h"

namespace rotozoom {

// The 16-bit complement of the top bit of each PixelLayout channel: 0x7BEF for 5-6-5, 0xBDEF
// for 5-5-5.
uint16_t HalvingMask();

// Every pixel p of a packed 16-bit image becomes (p >> 1) & HalvingMask(), so that adding two
// halved pixels gives their per-channel average without carries. Other images are left alone.
void HalveChannels(Image& image);

// Fills the 320x240 frame with the 256x256 texture, stepped by P and Q in 8.8 fixed point from
// the top-left corner, added to the picture two pixels at a time as 32-bit integers. Pixel
// (x, y) takes texel row (V >> 8) & 255, column (U >> 8) & 255 with U = (x + 1)P - (y - 1)Q and
// V = (x + 1)Q + (y + 1)P modulo 2^32. Nothing is written unless the three images have the
// expected sizes, 16 bits per pixel and packed rows.
void DrawRotozoom(Image& frame, const Image& texture, const Image& picture, int32_t p, int32_t q);

// One frame's zoom move: zoom += step; then the step turns to -0.0002 above 0.05 and to +0.0002
// below -0.05 (strict tests).
void AdvanceZoom(double& zoom, double& zoomStep);

// The angle step for local time L: -0.01 in 40..57 and 74..91, otherwise +0.01.
double AngleStepAt(int32_t localTime);

// White flash at L = 40, 57, 74 and at every even L from 92 on.
bool FlashAt(int32_t localTime);

}  // namespace rotozoom

class RotozoomPicturePart : public Parte {
  public:
    TgaImage* loader = nullptr;  // in use during Load only
    Image* frame = nullptr;
    Image* texture = nullptr;         // 256x256, channels halved
    Image* picture = nullptr;         // 320x240, channels halved
    Surface* frameSurface = nullptr;  // shares the frame's pixels
    double angle = 0.0;               // radians
    double angleStep = 0.0;
    double zoom = 0.0;
    double zoomStep = 0.0;
    int32_t localTime = 0;

    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern RotozoomPicturePart rotozoomPicturePart;
