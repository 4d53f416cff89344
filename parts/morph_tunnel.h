// Tunnel with a picture assembled from flying points.
#pragma once

#include <windows.h>

#include <cstdint>

#include "image/image.h"
#include "image/morph_points.h"
#include "image/tga.h"
#include "parts/parte.h"

namespace morph_tunnel {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

// Fills the 320x240 angle and depth index tables. For the pixel (column, row) the float vector
// (column - 160, 120 - row, 128) is normalised (length in double, components stored as floats
// vx, vy, vz); f = 5000 / sqrt(vx^2 + vy^2); X = f * vx and Y = f * vy as floats, D = f * vz - 128
// in double. angle = low byte of trunc(atan2(Y, X) * 81.48733225307444), depth = low byte of
// trunc(D * 0.00512). The centre (160, 120), where the arithmetic yields no number, holds 0 in
// both.
void BuildTables(uint8_t* angle, uint8_t* depth);

// Writes each point's colour at pixel trunc(y) * 320 + trunc(x) of a 320x240 frame, in order;
// later points overwrite earlier ones. Points off the frame are left out.
void PlotPoints(uint16_t* frame, const MorphPoint* points, int32_t count);

}  // namespace morph_tunnel

class MorphTunnelPart : public Parte {
  public:
    Image* frame = nullptr;       // 320x240x16, the composed frame
    Image* texture = nullptr;     // 256x256x16, from TGA resource 109
    Image* angleTable = nullptr;  // 320x240x8
    Image* depthTable = nullptr;  // 320x240x8
    TgaImage* loader = nullptr;   // only during Load
    int32_t localTime = 0;        // t minus the t of the first Render
    Image* picture = nullptr;     // 16-bit, from TGA resource 147
    MorphPointSet points;
    RECT sourceRect{};
    RECT destRect{};

    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern MorphTunnelPart morphTunnelPart;
