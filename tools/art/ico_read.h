// A reader for icon files of 4-bit bitmaps, for the contact sheet and the tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct DecodedIcon {
    int size = 0, bits = 0, colours = 0;
    std::vector<std::array<uint8_t, 3>> palette;  // red, green, blue
    std::vector<uint8_t> index;                   // row 0 at the top
    std::vector<uint8_t> transparent;             // 1 where the mask lets the window through
};

// The images of an .ico file; `error` is set when it is not well formed.
std::vector<DecodedIcon> DecodeIco(const std::vector<uint8_t>& file, std::string& error);

}  // namespace art
