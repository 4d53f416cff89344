// Software pixel buffers, their memory accounting and the conversions between pixel depths.
#include "image/image.h"

#include <cstring>

#include "image/trace.h"
#include "image/pixel_layout.h"

int32_t imageMemoryTotal = 0;

Image::Image() : width(0), height(0), bitsPerPixel(0), bytesPerRow(0), pixels(nullptr) {}

Image::Image(int32_t width, int32_t height, int32_t bitsPerPixel) : Image() {
    Allocate(width, height, bitsPerPixel);
}

Image::~Image() {
    Free();
}

namespace {

// width * height * bitsPerPixel / 8 as the program computes it (signed 32-bit, product first),
// or -1 when the product does not fit in 32 bits or is negative.
int64_t PackedSize(int32_t width, int32_t height, int32_t bitsPerPixel) {
    const int64_t product = int64_t{width} * height * bitsPerPixel;
    if (product < 0 || product > INT32_MAX) return -1;
    return product / 8;
}

}  // namespace

int32_t Image::Allocate(int32_t w, int32_t h, int32_t bpp) {
    width = w;
    height = h;
    bytesPerRow = static_cast<int32_t>(int64_t{w} * bpp / 8);
    bitsPerPixel = bpp;
    const int64_t size = PackedSize(w, h, bpp);
    // Only memory actually obtained is counted; a refused or impossible size leaves pixels null.
    pixels = size > 0
                 ? static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size)))
                 : nullptr;
    if (pixels == nullptr) return 0;
    imageMemoryTotal += static_cast<int32_t>(size);
    TraceLine("Memoria reservada en bytes ................ +%8d  TOTAL:%8d",
              static_cast<int32_t>(size), imageMemoryTotal);
    std::memset(pixels, 0, static_cast<size_t>(size));
    return 0;
}

void Image::Free() {
    if (pixels == nullptr) return;
    const int64_t size = PackedSize(width, height, bitsPerPixel);
    imageMemoryTotal -= static_cast<int32_t>(size);
    TraceLine("Memoria liberada en bytes ................. -%8d  TOTAL:%8d",
              static_cast<int32_t>(size), imageMemoryTotal);
    HeapFree(GetProcessHeap(), 0, pixels);
    pixels = nullptr;
}

namespace {

inline uint16_t Load16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline void Store16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// b0 = blue, b1 = green, b2 = red, each reduced to the layout's width by keeping its high bits.
inline uint16_t Pack24To16(uint8_t b0, uint8_t b1, uint8_t b2) {
    const int rb = PixelLayout.redBits, gb = PixelLayout.greenBits, bb = PixelLayout.blueBits;
    const uint32_t blue = uint32_t{b0} >> (8 - bb);
    const uint32_t green = (uint32_t{b1} >> (8 - gb)) << bb;
    const int redShift = rb + gb + bb - 8;
    const uint32_t red = (redShift >= 0 ? uint32_t{b2} << redShift : uint32_t{b2} >> -redShift) &
                         PixelLayout.redMask;
    return static_cast<uint16_t>(blue | green | red);
}

// Shifts that may be negative or reach 8 (an all-zero layout) are taken as plain shifts of a
// 32-bit value, so a zero layout yields zero channels instead of undefined shifts.
inline uint32_t Shr(uint32_t v, int n) {
    return n >= 32 ? 0 : (n >= 0 ? v >> n : v << -n);
}
inline uint32_t Shl(uint32_t v, int n) {
    return n >= 32 ? 0 : (n >= 0 ? v << n : v >> -n);
}

}  // namespace

int32_t Image::ConvertFrom(const Image& source, const uint8_t* palette) {
    if (source.width != width || source.height != height) return -1;
    if (source.bitsPerPixel == 8 && palette == nullptr) return -1;
    if (source.pixels == nullptr || pixels == nullptr || width <= 0 || height <= 0) return 0;

    const int rb = PixelLayout.redBits, gb = PixelLayout.greenBits, bb = PixelLayout.blueBits;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const uint8_t* s = source.pixels;
    uint8_t* d = pixels;

    switch (source.bitsPerPixel) {
        case 8:
            switch (bitsPerPixel) {
                case 16:
                    for (size_t i = 0; i < count; ++i) {
                        const uint8_t* e = palette + 3 * s[i];
                        const uint32_t v = Shl(Shr(e[2], 8 - rb), gb + bb) |
                                           Shl(Shr(e[1], 8 - gb), bb) | Shr(e[0], 8 - bb);
                        Store16(d + 2 * i, static_cast<uint16_t>(v));
                    }
                    return 0;
                case 24:
                    for (size_t i = 0; i < count; ++i) {
                        const uint8_t* e = palette + 3 * s[i];
                        d[3 * i] = e[2];
                        d[3 * i + 1] = e[1];
                        d[3 * i + 2] = e[0];
                    }
                    return 0;
                case 32:
                    for (size_t i = 0; i < count; ++i) {
                        const uint8_t* e = palette + 3 * s[i];
                        d[4 * i] = e[2];
                        d[4 * i + 1] = e[1];
                        d[4 * i + 2] = e[0];
                        d[4 * i + 3] = 0;
                    }
                    return 0;
            }
            return 0;
        case 16:
            switch (bitsPerPixel) {
                case 16:
                    // By rows: surface views may have longer rows than the image.
                    for (int32_t y = 0; y < height; ++y) {
                        std::memcpy(d + static_cast<ptrdiff_t>(y) * bytesPerRow,
                                    s + static_cast<ptrdiff_t>(y) * source.bytesPerRow,
                                    static_cast<size_t>(width) * 2);
                    }
                    return 0;
                case 24:
                    // Fixed 5-6-5 fields, unscaled.
                    for (size_t i = 0; i < count; ++i) {
                        const uint16_t p = Load16(s + 2 * i);
                        d[3 * i] = static_cast<uint8_t>((p >> 11) & 31);
                        d[3 * i + 1] = static_cast<uint8_t>((p >> 5) & 63);
                        d[3 * i + 2] = static_cast<uint8_t>(p & 31);
                    }
                    return 0;
                case 32:
                    for (size_t i = 0; i < count; ++i) {
                        const uint32_t p = Load16(s + 2 * i);
                        d[4 * i] = static_cast<uint8_t>(Shl(p & PixelLayout.blueMask, 8 - bb));
                        d[4 * i + 1] =
                            static_cast<uint8_t>(Shl(Shr(p & PixelLayout.greenMask, bb), 8 - gb));
                        d[4 * i + 2] = static_cast<uint8_t>(
                            Shl(Shr(p & PixelLayout.redMask, gb + bb), 8 - rb));
                        d[4 * i + 3] = 0;
                    }
                    return 0;
            }
            return 0;
        case 24:
            switch (bitsPerPixel) {
                case 16:
                    for (size_t i = 0; i < count; ++i) {
                        Store16(d + 2 * i, Pack24To16(s[3 * i], s[3 * i + 1], s[3 * i + 2]));
                    }
                    return 0;
                case 24:
                    std::memcpy(d, s, count * 3);
                    return 0;
                case 32:
                    for (size_t i = 0; i < count; ++i) {
                        d[4 * i] = s[3 * i];
                        d[4 * i + 1] = s[3 * i + 1];
                        d[4 * i + 2] = s[3 * i + 2];
                        d[4 * i + 3] = 0;
                    }
                    return 0;
            }
            return 0;
        case 32:
            switch (bitsPerPixel) {
                case 16:
                    for (int32_t y = 0; y < height; ++y) {
                        const uint8_t* sr = s + static_cast<ptrdiff_t>(y) * source.bytesPerRow;
                        uint8_t* dr = d + static_cast<ptrdiff_t>(y) * bytesPerRow;
                        for (int32_t x = 0; x < width; ++x) {
                            Store16(dr + 2 * x,
                                    Pack24To16(sr[4 * x], sr[4 * x + 1], sr[4 * x + 2]));
                        }
                    }
                    return 0;
                case 24:
                    for (size_t i = 0; i < count; ++i) {
                        d[3 * i] = s[4 * i];
                        d[3 * i + 1] = s[4 * i + 1];
                        d[3 * i + 2] = s[4 * i + 2];
                    }
                    return 0;
                case 32:
                    for (int32_t y = 0; y < height; ++y) {
                        std::memcpy(d + static_cast<ptrdiff_t>(y) * bytesPerRow,
                                    s + static_cast<ptrdiff_t>(y) * source.bytesPerRow,
                                    static_cast<size_t>(width) * 4);
                    }
                    return 0;
            }
            return 0;
    }
    return 0;
}
