// Interfering ring patterns with strips and a rising figure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "image/image.h"
#include "image/tga.h"
#include "parts/parte.h"

class Surface;

namespace ring_interference {

constexpr int32_t kRingWidth = 640;
constexpr int32_t kRingHeight = 480;
constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
// The ring pattern's two values, raw 16-bit numbers.
constexpr uint16_t kRing = 287;

// Draws the ring pattern into a zeroed 640x480 buffer: for B = 0.0, 0.2, ... while B < 540 and
// a = 0.0, P / 2000, ... while a < P (P the single-precision 6.283185, both accumulated in double),
// r = B + 10 sin(5a) and the point (trunc(cos(a) r) + 320, 240 - trunc(sin(a) r)), when inside,
// becomes 287 * (trunc(B * 0.1) mod 2). Later points overwrite earlier ones.
void DrawRings(uint16_t* rings);

struct Window {
    int32_t x;
    int32_t y;
};

struct Velocity {
    int32_t x;
    int32_t y;
};

// Negates the x velocity when x > 320 or x < 1 and the y velocity when y > 240 or y < 1, then
// moves the window by its velocity: the test comes before the move, so it overshoots by one step.
void Bounce(Window& window, Velocity& velocity);

// The column where row i changes from sums to differences:
// trunc(160 - 60 * sin(i * 3.14 / 120 + 5 * phase) * cos(2 * phase)).
int32_t DividingColumn(int32_t row, double phase);

// Fills the 320x240 frame: with A and B the windows' rows, read from the ring image as one linear
// array starting at (y + i) * 640 + x, pixel (j, i) is A[j] + B[j] left of the dividing column and
// A[j] - B[j] from it on, both wrapping in 16 bits. Reads outside the ring image give 0.
void Interfere(uint16_t* frame, const uint16_t* rings, Window a, Window b, double phase);

// A strip's translucency for its angle argument: trunc(255 * sin(arg)), as a 16-bit level.
uint16_t StripLevel(double arg);

// Rows of the figure shown: trunc(75 - 75 * sin(phase)).
int32_t FigureRows(double phase);

}  // namespace ring_interference

class RingInterferencePart : public Parte {
  public:
    Image* frame = nullptr;            // 320x240x16, the frame shown
    Image* rings = nullptr;            // 640x480x16, values 0 and 287 only
    Surface* frameSurface = nullptr;   // over the frame's own memory
    TgaImage* stripLoader = nullptr;   // only during Load
    TgaImage* figureLoader = nullptr;  // only during Load
    Image* strip1 = nullptr;           // TGA resource 131
    Image* strip2 = nullptr;           // TGA resource 132
    Image* strip3 = nullptr;           // TGA resource 133
    Image* figure = nullptr;           // TGA resource 107
    ring_interference::Window windowA{};
    ring_interference::Window windowB{};
    ring_interference::Velocity velocityA{};
    ring_interference::Velocity velocityB{};
    uint16_t figureKey = 0;  // the figure's first pixel
    uint16_t level = 0;      // the level last computed for a strip
    uint16_t key1 = 0;       // first pixel of each strip
    uint16_t key2 = 0;
    uint16_t key3 = 0;
    int32_t localTime = 0;  // t minus the t of the first Render

    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern RingInterferencePart ringInterferencePart;
