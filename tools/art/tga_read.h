// A strict reader for the TGA files of the generator, for the contact sheet and the tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct DecodedTga {
    std::string error;  // empty when the file is well formed
    int idLength = 0, mapType = 0, imageType = 0, mapStart = 0, mapLength = 0, mapEntryBits = 0;
    int width = 0, height = 0, bits = 0, descriptor = 0;
    uint32_t extensionOffset = 0, developerOffset = 0;
    int extensionSize = 0;
    size_t dataEnd = 0;                           // E: where the pixel data ends
    size_t packetsEnd = 0;                        // where the last packet ended
    size_t pixelsDecoded = 0;                     // pixels the packets yielded
    std::vector<std::array<uint8_t, 3>> palette;  // red, green, blue
    std::vector<uint8_t> index;                   // colour-mapped only, row 0 at the top
    std::vector<std::array<uint8_t, 3>> rgb;      // red, green, blue, row 0 at the top
};

// Decodes run-length types 9 and 10 (and uncompressed 1 and 2), checking the footer.
DecodedTga DecodeTga(const std::vector<uint8_t>& file);

std::vector<uint8_t> ReadFileBytes(const std::string& path);

// The display's 16-bit 5-6-5 value of a colour, by truncation.
inline uint16_t To565(const std::array<uint8_t, 3>& c) {
    return uint16_t(((c[0] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[2] >> 3));
}
// A 5-6-5 value widened back to 8 bits per channel by bit replication.
inline std::array<uint8_t, 3> From565(uint16_t p) {
    const unsigned r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    return {uint8_t(r << 3 | r >> 2), uint8_t(g << 2 | g >> 4), uint8_t(b << 3 | b >> 2)};
}

}  // namespace art
