// Writes TGA 2.0 files: run-length encoded pixels, extension area and footer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace art {

// A colour-mapped picture: 256 palette entries (red, green, blue) and one index per pixel,
// row 0 at the top.
struct Indexed {
    int width = 0, height = 0;
    std::array<std::array<uint8_t, 3>, 256> palette{};
    std::vector<uint8_t> index;
};

// A true-colour picture: red, green, blue bytes per pixel, row 0 at the top.
struct TrueColour {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

// Image type 9: run-length colour-mapped, 256 entries of 24 bits.
std::vector<uint8_t> EncodeTga(const Indexed& picture);
// Image type 10: run-length 24-bit.
std::vector<uint8_t> EncodeTga(const TrueColour& picture);

// Writes bytes to a file; false when the file can't be written.
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace art
