// The show's fixed numbers, shared by the runtime and by the programs and hosts that record it.
#pragma once

#include <cstdint>

namespace show {

// Bytes of decoded music per script time unit (deciseconds of the script's own scale).
inline constexpr uint32_t kBytesPerUnit = 17400;
// The frame the parts draw and the display mode: 320x240 pixels of 16 bits.
inline constexpr int kFrameWidth = 320;
inline constexpr int kFrameHeight = 240;
inline constexpr int kFrameBitsPerPixel = 16;
// Resource "MP3FILE" of this id holds the music.
inline constexpr int kMusicResource = 122;

}  // namespace show
