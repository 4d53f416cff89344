// Lobed texture tunnel with a shaking picture.
#pragma once

#include <windows.h>

#include <cstdint>

#include "image/image.h"
#include "image/tga.h"
#include "parts/parte.h"

namespace lobed_tunnel {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

// Fills the 320x240 depth and angle index tables from a zeroed start. With P the single-precision
// 6.283185: for d = 0.0, 0.2, ... while d < 300 and a = 0.0, P / 2000, ... while a < P (both
// accumulated in double), r = d + 50 sin(7a) and the point (160 + trunc(r cos a),
// 120 - trunc(r sin a)), when on screen, takes depth = low byte of trunc(d) and angle = low byte of
// trunc(a * 1792 / P). Later points overwrite earlier ones.
void BuildTables(uint8_t* depth, uint8_t* angle);

struct Shake {
    int32_t dx;
    int32_t dy;
};

// The picture's offset for one frame: dy = Rand() * 5 / 32767, then dx likewise (0..4, 5 only for
// 32767).
Shake DrawShake();

}  // namespace lobed_tunnel

class LobedTunnelPart : public Parte {
  public:
    Image* frame = nullptr;       // 320x240x16, the composed frame
    Image* texture = nullptr;     // 256x256x16, from TGA resource 128
    Image* picture = nullptr;     // 16-bit, from TGA resource 134; black is transparent
    Image* depthTable = nullptr;  // 320x240x8
    Image* angleTable = nullptr;  // 320x240x8
    TgaImage* loader = nullptr;   // only during Load

    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern LobedTunnelPart lobedTunnelPart;
