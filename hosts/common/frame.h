// What the headless runs make of a visible frame: its checksum and its picture.
#pragma once

#include <cstdint>
#include <string>

namespace hosts {

// FNV-1a 64 (offset basis 0xcbf29ce484222325, prime 0x100000001b3) over the frame's pixels, row
// 0 first, each as two little-endian bytes, without the row padding of `pitch`.
uint64_t FrameHash(const uint16_t* pixels, int width, int height, int pitch);

// A channel of `bits` bits widened to 8 by repeating its bits (5 bits: v << 3 | v >> 2).
uint8_t WidenChannel(uint32_t value, int bits);

// One colour channel of a 16-bit pixel: its mask, the position of its lowest bit, its width.
struct FrameChannel {
    uint32_t mask;
    int shift;
    int bits;
};
FrameChannel ChannelOfMask(uint32_t mask);
// The channel's value in `pixel`, widened to 8 bits.
uint8_t ExtractChannel(uint16_t pixel, const FrameChannel& channel);

// Writes the 16-bit frame as an 8-bit RGB PNG, each channel taken by its mask and widened, with
// WritePng's promise: `path` holds the whole picture, or on failure (false, `*error` says why)
// what it held before.
bool WriteFramePng(const std::string& path, const uint16_t* pixels, int width, int height,
                   int pitch, uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                   std::string* error);

}  // namespace hosts
