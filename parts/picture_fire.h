// Picture that catches fire along its key-coloured pixels.
#pragma once

#include <cstdint>

#include "parts/parte.h"

class Image;
class Surface;
class TgaImage;

namespace picture_fire {

constexpr int32_t kMaxSeeds = 1600;
// The flame runs over the top 118 rows of the 320-pixel-wide maps: 37760 pixels.
constexpr int32_t kFlamePixels = 118 * 320;

// The 256-entry fire palette, 3 bytes per entry in the order blue, green, red: a red ramp
// (0, 0, 4i) for 0..63, red with rising green (0, 2(i - 64), 255) for 64..191, yellow above.
void BuildFirePalette(uint8_t* palette);

// 16-bit colour of one palette entry (blue, green, red) in PixelLayout, keeping each channel's
// high bits, as the 8-to-16-bit conversion does.
uint16_t FireColour(const uint8_t* entry);

// Appends to `columns`/`rows` the position of every pixel of the packed 320x240 16-bit `picture`
// equal to `key`, row by row from the top, stopping at `capacity` entries. Returns the count.
int32_t FindSeeds(const Image& picture, uint16_t key, int32_t* columns, int32_t* rows,
                  int32_t capacity);

// One flame step in place over the first kFlamePixels pixels of the 320-wide `heat` map: each
// heat byte becomes the average of itself and its three lower neighbours (q + 319, q + 320,
// q + 321, all read before they change), shifted right by 2, less one. Where that average is
// positive the fire pixel takes colours[average - 1], elsewhere the picture's pixel.
void FlameStep(uint8_t* heat, uint16_t* fire, const uint16_t* picture, const uint16_t* colours);

}  // namespace picture_fire

class PictureFirePart : public Parte {
  public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;

    Image* frame = nullptr;           // the composed 320x240 frame
    Image* heatMap = nullptr;         // 320x240, one heat byte per pixel
    Image* picture = nullptr;         // 320x240 picture from resource 104
    Image* fireFrame = nullptr;       // the picture with the flames over its top 118 rows
    Surface* frameSurface = nullptr;  // over the frame's own memory
    TgaImage* loader = nullptr;       // only during Load
    uint8_t* palette = nullptr;       // 768 bytes: blue, green, red per entry
    uint16_t keyColour = 0;
    uint8_t redShift = 0;     // 8 - redBits
    uint8_t greenShift = 0;   // 8 - greenBits
    uint8_t blueShift = 0;    // 8 - blueBits
    uint8_t redPosition = 0;  // greenBits + blueBits
    int32_t seedColumns[picture_fire::kMaxSeeds] = {};
    int32_t seedRows[picture_fire::kMaxSeeds] = {};
    int32_t seedCount = 0;
    int32_t localTime = 0;
    // The fire colour of every palette entry, built with the palette.
    uint16_t fireColours[256] = {};
};

extern PictureFirePart pictureFirePart;
