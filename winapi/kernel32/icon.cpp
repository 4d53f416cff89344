// Decoding of .ico files (directory of device-independent bitmaps with AND masks) for the window
// icon. PNG-compressed images are not read.
#include <cstring>

#include "winapi/kernel32/resources.h"

namespace winapi {
namespace {

uint32_t Read16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}
uint32_t Read32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24);
}

struct Entry {
    int size;  // width in pixels (0 in the directory means 256)
    uint32_t offset;
    uint32_t length;
};

bool DecodeBitmap(const uint8_t* data, size_t length, IconImage* image) {
    if (length < 40) return false;
    uint32_t headerSize = Read32(data);
    int32_t width = (int32_t)Read32(data + 4);
    int32_t doubleHeight = (int32_t)Read32(data + 8);
    uint32_t bitCount = Read16(data + 14);
    uint32_t compression = Read32(data + 16);
    uint32_t coloursUsed = Read32(data + 32);
    if (headerSize < 40 || headerSize > length || compression != 0) return false;
    if (width <= 0 || width > 256 || doubleHeight <= 0 || doubleHeight > 512) return false;
    int32_t height = doubleHeight / 2;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
        return false;
    }
    uint32_t paletteEntries = 0;
    if (bitCount <= 8) paletteEntries = coloursUsed != 0 ? coloursUsed : (1u << bitCount);
    if (paletteEntries > 256) return false;
    size_t paletteOffset = headerSize;
    size_t pixelOffset = paletteOffset + paletteEntries * 4;
    size_t colourRow = ((size_t)width * bitCount + 31) / 32 * 4;
    size_t maskRow = ((size_t)width + 31) / 32 * 4;
    size_t maskOffset = pixelOffset + colourRow * height;
    bool hasMask = maskOffset + maskRow * height <= length;
    if (maskOffset > length) return false;

    image->width = width;
    image->height = height;
    image->rgba.assign((size_t)width * height * 4, 0);
    for (int32_t y = 0; y < height; ++y) {
        // Bitmaps are stored bottom row first.
        const uint8_t* row = data + pixelOffset + colourRow * (height - 1 - y);
        const uint8_t* mask = data + maskOffset + maskRow * (height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* out = &image->rgba[((size_t)y * width + x) * 4];
            uint8_t alpha = 255;
            if (bitCount <= 8) {
                uint32_t bit = (uint32_t)x * bitCount;
                uint32_t index =
                    (row[bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
                if (index >= paletteEntries) index = 0;
                const uint8_t* entry = data + paletteOffset + index * 4;
                out[0] = entry[2];
                out[1] = entry[1];
                out[2] = entry[0];
            } else {
                const uint8_t* pixel = row + (size_t)x * (bitCount / 8);
                out[0] = pixel[2];
                out[1] = pixel[1];
                out[2] = pixel[0];
                if (bitCount == 32) alpha = pixel[3];
            }
            if (hasMask && ((mask[x / 8] >> (7 - x % 8)) & 1)) alpha = 0;
            out[3] = alpha;
        }
    }
    return true;
}

}  // namespace

bool DecodeIcon(const uint8_t* data, size_t size, int wanted, IconImage* image) {
    if (data == nullptr || size < 6 || Read16(data) != 0 || Read16(data + 2) != 1) return false;
    uint32_t count = Read16(data + 4);
    if (count == 0 || 6 + (size_t)count * 16 > size) return false;
    int best = -1;
    Entry chosen{};
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = data + 6 + i * 16;
        Entry entry{p[0] == 0 ? 256 : p[0], Read32(p + 12), Read32(p + 8)};
        if (entry.offset >= size || entry.length > size - entry.offset) continue;
        if (entry.length >= 8 && std::memcmp(data + entry.offset, "\x89PNG", 4) == 0) continue;
        // Prefer the largest image not above the wanted size, else the smallest one.
        int score = entry.size <= wanted ? 1000 + entry.size : 1000 - entry.size;
        if (score > best) {
            best = score;
            chosen = entry;
        }
    }
    if (best < 0) return false;
    return DecodeBitmap(data + chosen.offset, chosen.length, image);
}

}  // namespace winapi
