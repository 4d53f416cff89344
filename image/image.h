// Software pixel buffers: the Image every picture, frame, table and surface view is made of.
#pragma once

#include <windows.h>

#include <cstdint>

// Bytes of owned pixel memory currently allocated by all Images.
extern int32_t imageMemoryTotal;

class Image {
  public:
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;  // 8, 16, 24 or 32
    int32_t bytesPerRow;
    uint8_t* pixels;  // row 0 is the top row; null in an empty image

    // An empty image: all fields 0, no pixel memory.
    Image();
    // Image::Allocate(width, height, bitsPerPixel): a packed buffer, all zero.
    Image(int32_t width, int32_t height, int32_t bitsPerPixel);
    // Releases the owned pixel memory (Image::Free).
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Stores the size, obtains width * height * bitsPerPixel / 8 zeroed bytes from the process
    // heap and counts them in imageMemoryTotal. Called only on an image without pixel memory.
    // Always returns 0; callers that care test `pixels` afterwards (null when the heap refused).
    int32_t Allocate(int32_t width, int32_t height, int32_t bitsPerPixel);

    // Releases owned pixel memory and subtracts it from imageMemoryTotal; nothing when empty.
    void Free();

    // Copies `source` (same width and height) into this image, converting between 8 bits with a
    // palette (3 bytes per entry: blue, green, red), 16 bits in PixelLayout, 24 and 32 bits.
    // Returns -1 when the sizes differ or an 8-bit source has no palette, otherwise 0 (also when
    // the pair of depths is not supported; nothing is written then). Never allocates.
    int32_t ConvertFrom(const Image& source, const uint8_t* palette);

    // Draws the rectangle `sourceRect` of the 16-bit `source` at (destRect.left, destRect.top),
    // mixing each channel as d + (((s - d + 64) * L) >> 8) - (L >> 2) with L = min(level & 0xFFFF,
    // 256), and leaving d wherever the source pixel equals the low 16 bits of `key`. Returns 1.
    int32_t BlitSprite(const Image& source, RECT sourceRect, RECT destRect, int32_t level,
                       uint32_t key);
};
