// Test pictures: TGA files built byte by byte, and a small asymmetric "F".
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tga_files {

using Bytes = std::vector<uint8_t>;

// The parts of a TGA file, in file order. The footer's offsets are written as given.
struct TgaFile {
    uint8_t colourMapType = 0;
    uint8_t imageType = 2;
    uint16_t colourMapStart = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntrySize = 0;
    int16_t xOrigin = 0;
    int16_t yOrigin = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t bitsPerPixel = 24;
    uint8_t descriptor = 0;
    Bytes id;
    Bytes colourMap;
    Bytes data;
    Bytes afterData;  // extension area, developer directory, whatever lies before the footer
    uint32_t extensionOffset = 0;
    uint32_t developerOffset = 0;
    bool footer = true;

    // Offset of the first byte after the pixel data.
    uint32_t DataEnd() const {
        return static_cast<uint32_t>(18 + id.size() + colourMap.size() + data.size());
    }

    Bytes Build() const {
        Bytes out;
        auto put16 = [&out](uint16_t v) {
            out.push_back(static_cast<uint8_t>(v));
            out.push_back(static_cast<uint8_t>(v >> 8));
        };
        auto put32 = [&put16](uint32_t v) {
            put16(static_cast<uint16_t>(v));
            put16(static_cast<uint16_t>(v >> 16));
        };
        out.push_back(static_cast<uint8_t>(id.size()));
        out.push_back(colourMapType);
        out.push_back(imageType);
        put16(colourMapStart);
        put16(colourMapLength);
        out.push_back(colourMapEntrySize);
        put16(static_cast<uint16_t>(xOrigin));
        put16(static_cast<uint16_t>(yOrigin));
        put16(width);
        put16(height);
        out.push_back(bitsPerPixel);
        out.push_back(descriptor);
        for (const Bytes* part : {&id, &colourMap, &data, &afterData}) {
            out.insert(out.end(), part->begin(), part->end());
        }
        if (footer) {
            put32(extensionOffset);
            put32(developerOffset);
            const char signature[] = "TRUEVISION-XFILE.";
            out.insert(out.end(), signature, signature + sizeof signature);
        }
        return out;
    }
};

// Run-length packets for `pixels` (values of `bytesPerPixel` bytes, in order): runs of two or
// more equal values become run packets, everything else raw packets, at most 128 values each.
inline Bytes EncodeRle(const Bytes& pixels, size_t bytesPerPixel) {
    const size_t count = pixels.size() / bytesPerPixel;
    auto same = [&](size_t a, size_t b) {
        return std::memcmp(&pixels[a * bytesPerPixel], &pixels[b * bytesPerPixel], bytesPerPixel) ==
               0;
    };
    Bytes out;
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run)) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), &pixels[i * bytesPerPixel], &pixels[(i + 1) * bytesPerPixel]);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < count && raw < 128 &&
               !(i + raw + 1 < count && same(i + raw, i + raw + 1))) {
            ++raw;
        }
        out.push_back(static_cast<uint8_t>(raw - 1));
        out.insert(out.end(), &pixels[i * bytesPerPixel], &pixels[(i + raw) * bytesPerPixel]);
        i += raw;
    }
    return out;
}

// An "F" with no symmetry at an odd size, row 0 at the top: '#' is the letter, '.' the ground.
constexpr int kFWidth = 5;
constexpr int kFHeight = 7;
inline bool FInk(int x, int y) {
    static const char* const rows[kFHeight] = {"#####", "#....", "####.", "#....",
                                               "#....", "#...#", "....."};
    return rows[y][x] == '#';
}

// The F's pixels as `bytesPerPixel`-byte values, rows in the order a file with its bottom row
// first stores them (bottomFirst) or top row first.
inline Bytes FPixels(const Bytes& ink, const Bytes& ground, bool bottomFirst) {
    Bytes out;
    for (int r = 0; r < kFHeight; ++r) {
        const int y = bottomFirst ? kFHeight - 1 - r : r;
        for (int x = 0; x < kFWidth; ++x) {
            const Bytes& v = FInk(x, y) ? ink : ground;
            out.insert(out.end(), v.begin(), v.end());
        }
    }
    return out;
}

}  // namespace tga_files
