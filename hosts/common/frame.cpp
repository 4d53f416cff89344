// Frame checksums and the channels of 16-bit pixels.
#include "hosts/common/frame.h"

#include <cstring>

namespace hosts {

uint64_t FrameHash(const uint16_t* pixels, int width, int height, int pitch) {
    uint64_t hash = 0xcbf29ce484222325ull;
    const uint8_t* rows = reinterpret_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rows + (size_t)y * pitch;
        for (int x = 0; x < width; ++x) {
            uint16_t pixel;
            std::memcpy(&pixel, row + (size_t)x * 2, 2);
            hash = (hash ^ (pixel & 0xFF)) * 0x100000001b3ull;
            hash = (hash ^ (pixel >> 8)) * 0x100000001b3ull;
        }
    }
    return hash;
}

uint8_t WidenChannel(uint32_t value, int bits) {
    if (bits <= 0) return 0;
    if (bits >= 8) return (uint8_t)(value >> (bits - 8));
    uint32_t widened = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits) {
        widened |= shift >= 0 ? value << shift : value >> -shift;
    }
    return (uint8_t)widened;
}

FrameChannel ChannelOfMask(uint32_t mask) {
    if (mask == 0) return FrameChannel{0, 0, 0};
    return FrameChannel{mask, __builtin_ctz(mask), __builtin_popcount(mask)};
}

uint8_t ExtractChannel(uint16_t pixel, const FrameChannel& channel) {
    return WidenChannel((pixel & channel.mask) >> channel.shift, channel.bits);
}

}  // namespace hosts
