// The per-pixel look-up of the table-driven tunnels: two byte tables pick a texel of a 256x256
// texture, each through a scroll byte that wraps at 256.
#pragma once

#include <cstdint>

namespace tunnel_lookup {

// For every k < count: frame[k] = texels[((rowIndex[k] + rowScroll) mod 256) * 256 +
// ((columnIndex[k] + columnScroll) mod 256)].
inline void Draw(uint16_t* frame, const uint8_t* rowIndex, const uint8_t* columnIndex,
                 const uint16_t* texels, uint8_t rowScroll, uint8_t columnScroll, int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
        const uint32_t row = static_cast<uint8_t>(rowIndex[k] + rowScroll);
        const uint32_t column = static_cast<uint8_t>(columnIndex[k] + columnScroll);
        frame[k] = texels[row * 256 + column];
    }
}

}  // namespace tunnel_lookup
