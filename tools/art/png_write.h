// PNG encoding of RGBA pictures, for the desktop icons.
#pragma once

#include <cstdint>
#include <vector>

namespace art {

// An 8-bit RGBA PNG of `width` x `height` pixels, rows top first, 4 bytes a pixel.
std::vector<uint8_t> EncodePngRgba(int width, int height, const std::vector<uint8_t>& rgba);

}  // namespace art
