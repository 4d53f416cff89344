// Reduction of colour pictures to 256-entry palettes (libimagequant), and true-colour output
// dithered to the display's 5-6-5 levels.
#pragma once

#include <optional>

#include "canvas.h"
#include "tga_write.h"

namespace art {

struct Rgb8 {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb8&) const = default;
};

Rgb8 ToRgb8(Rgb c);
uint16_t To565(Rgb8 c);

struct QuantizeOptions {
    float dither = 1.0f;      // 0 = nearest colour, 1 = full error diffusion
    int colours = 256;        // at most this many palette entries are used
    int posterize = 3;        // low bits without detail in every entry (3: 5-bit levels)
    std::optional<Rgb8> key;  // pixels of exactly this colour keep it, no other pixel may
                              // convert to its 5-6-5 value
};

// Palette of up to 256 colours whose channels carry no detail below the display's 5-bit steps.
Indexed Quantize(const Canvas& c, const QuantizeOptions& options);

// 24-bit picture whose channels are multiples of the 5-6-5 steps (8, 4, 8), reached by ordered
// dithering when `dither` is set, so that the display's truncation shows what was drawn.
TrueColour ToTrueColour(const Canvas& c, bool dither);

}  // namespace art
