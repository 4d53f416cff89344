// Loading the effects' pictures through a part's own loader, and the key colour of a sprite.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "image/tga.h"

namespace pictures {

// Loads TGA resource `id` through `loader` (a new TgaImage, deleted again and set to null) and
// converts it, through its palette when it has one, into a new 16-bit image of its size.
Image* Load(TgaImage*& loader, int32_t id);

// Loads TGA resource `id` through `loader` likewise and converts it into `target`, which keeps
// its size; nothing is written when the sizes differ.
void LoadInto(TgaImage*& loader, int32_t id, Image& target);

// The first (top-left) pixel of a 16-bit image, or 0 when there is no image or it has no pixels.
uint16_t FirstPixel(const Image* image);

}  // namespace pictures
