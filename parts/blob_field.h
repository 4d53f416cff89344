// Glowing blob field with sliding logos.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "image/tga.h"
#include "parts/parte.h"
#include "video/display.h"

namespace blobfield {

constexpr int32_t kFieldWidth = 160;
constexpr int32_t kFieldHeight = 120;
constexpr int32_t kPointCount = 6;
constexpr int32_t kRampSize = 256;
constexpr int32_t kTableCapacity = 76800;  // room reserved; the first 160 x 120 are used
constexpr int32_t kTableUsed = kFieldWidth * kFieldHeight;

struct BlobPoint {
    int32_t x;  // field column
    int32_t y;  // field row
    float weight;
    int32_t counter;
};

// 0..63: green rising; 64..191: full green, blue rising; 192..255: green and blue full, red
// rising to white. Built from PixelLayout into kRampSize entries.
void BuildColourRamp(uint16_t* ramp);

// table[dy * 160 + dx] = 9000000000.0 / (sqrt(dx^2 + dy^2) * 7000000.0) as a float, and the
// single-precision 9000 / 7 at (0, 0); fills the first kTableUsed entries.
void BuildDistanceTable(float* table);

// Six points from the random sequence, three draws each: x, y, counter. Weight 1.0 for a
// counter below 50, else 2.0.
void SeedPoints(BlobPoint (&points)[kPointCount]);

// One frame's move of every point: counter and weight first, then the Lissajous position for
// point k = 1..6 at phase phi.
void MovePoints(BlobPoint (&points)[kPointCount], float phi);

// Writes the 160x120 field in memory order from `out`: each pixel sums, in double and in point
// order, table[|y - p.y| * 160 + |x - p.x|] * p.weight, clamps at 255 and takes
// ramp[trunc(sum) & 255]. Returns the position after the last pixel. Writes nothing (and
// returns `out`) when a point lies outside the field.
uint16_t* FillField(uint16_t* out, const float* table, const uint16_t* ramp,
                    const BlobPoint (&points)[kPointCount]);

// The logos' translucency at local time d: trunc(sin(d * pi/80) * 120.0) with pi the
// single-precision 3.1415925.
int8_t LogoLevel(int32_t localTime);

}  // namespace blobfield

class BlobFieldPart : public Parte {
  public:
    blobfield::BlobPoint points[blobfield::kPointCount] = {};
    uint16_t* colourRamp = nullptr;   // kRampSize entries
    float* distanceTable = nullptr;   // kTableCapacity entries
    int32_t localTime = 0;            // stored by Present, read by the next Render
    Image* field = nullptr;           // 160x120, stretched to the screen by the blit
    Surface* fieldSurface = nullptr;  // shares the field's pixels
    uint16_t* writePosition = nullptr;
    TgaImage* loader = nullptr;  // in use during Load only
    Image* logo1 = nullptr;
    Image* logo2 = nullptr;
    uint16_t key1 = 0;
    uint16_t key2 = 0;
    int8_t level = 0;

    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern BlobFieldPart blobFieldPart;
