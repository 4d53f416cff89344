// Writes Windows icon files holding 16-colour (4-bit) bitmaps.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace art {

struct IconImage {
    int size = 0;                                      // width and height
    std::array<std::array<uint8_t, 3>, 16> palette{};  // red, green, blue
    std::vector<uint8_t> index;                        // size x size, row 0 at the top
    std::vector<uint8_t> transparent;                  // 1 where the window shows through
};

// An .ico file: directory, then each image as a BMP header, palette, 4-bit colour rows and
// 1-bit transparency rows, both bottom row first and padded to 32 bits.
std::vector<uint8_t> EncodeIco(const std::vector<IconImage>& images);

}  // namespace art
