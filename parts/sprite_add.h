// Saturating additive sprites: glow pictures added channel by channel onto a 16-bit frame.
#pragma once

#include <cstdint>

#include "image/image.h"

// One pixel: each channel of PixelLayout is min((s & mask) + (d & mask), mask), the three ORed.
uint16_t AddSaturated(uint16_t s, uint16_t d);

// Adds the whole 16-bit `sprite` (read packed, row after row) onto the 16-bit `frame` with the
// sprite's top-left pixel at column x, row y. The sprite is drawn whole or not at all: when any
// part of it would fall outside the frame, nothing is drawn.
void AddSprite(Image& frame, int32_t x, int32_t y, const Image& sprite);
