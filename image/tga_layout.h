// Where the parts of a TGA 2.0 file lie, as the loader finds them.
#pragma once

#include <cstdint>

struct TgaLayout {
    uint32_t idLength;        // L
    uint32_t colourMapBytes;  // M: entry size x length / 8, 0 without a colour map
    uint32_t footerStart;     // S - 26
    uint32_t dataEnd;         // E: the footer, or the extension area, or the developer directory
    uint64_t dataStart;       // 18 + L + M
    int64_t dataBytes;        // D = E - L - M - 18 (negative when the offsets lie)
    // True when the colour map and the pixel data lie between the header and the footer.
    bool Consistent() const { return dataStart <= dataEnd && dataEnd <= footerStart; }
};

// Reads the layout of a TGA file of `size` bytes. False when there is no 18-byte header or no
// TGA 2.0 footer ("TRUEVISION-XFILE." and its zero in the last 18 bytes); `layout` is then
// untouched.
bool ReadTgaLayout(const uint8_t* data, uint32_t size, TgaLayout* layout);
