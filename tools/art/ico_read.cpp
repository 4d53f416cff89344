// Icon reader: directory entries, BMP info headers, 4-bit colour rows and 1-bit masks.
#include "ico_read.h"

namespace art {

namespace {

unsigned Get16(const std::vector<uint8_t>& f, size_t at) {
    return f[at] | (f[at + 1] << 8);
}
uint32_t Get32(const std::vector<uint8_t>& f, size_t at) {
    return uint32_t(f[at]) | uint32_t(f[at + 1]) << 8 | uint32_t(f[at + 2]) << 16 |
           uint32_t(f[at + 3]) << 24;
}

}  // namespace

std::vector<DecodedIcon> DecodeIco(const std::vector<uint8_t>& f, std::string& error) {
    std::vector<DecodedIcon> out;
    if (f.size() < 6 || Get16(f, 0) != 0 || Get16(f, 2) != 1) {
        error = "not an icon file";
        return out;
    }
    const unsigned count = Get16(f, 4);
    if (f.size() < 6 + 16 * size_t(count)) {
        error = "directory cut short";
        return out;
    }
    for (unsigned i = 0; i < count; ++i) {
        const size_t e = 6 + 16 * size_t(i);
        DecodedIcon icon;
        icon.size = f[e] ? f[e] : 256;
        icon.colours = f[e + 2];
        const uint32_t bytes = Get32(f, e + 8), offset = Get32(f, e + 12);
        if (size_t(offset) + bytes > f.size() || bytes < 40) {
            error = "image outside the file";
            return out;
        }
        const size_t b = offset;
        const int n = icon.size;
        if (Get32(f, b) != 40 || int(Get32(f, b + 4)) != n || int(Get32(f, b + 8)) != 2 * n ||
            Get16(f, b + 12) != 1 || Get32(f, b + 16) != 0) {
            error = "unexpected bitmap header";
            return out;
        }
        icon.bits = int(Get16(f, b + 14));
        if (icon.bits != 4) {
            error = "not a 4-bit image";
            return out;
        }
        const size_t colourRow = size_t((n * 4 + 31) / 32) * 4, maskRow = size_t((n + 31) / 32) * 4;
        const size_t pal = b + 40, pixels = pal + 64, mask = pixels + colourRow * n;
        if (mask + maskRow * n != size_t(offset) + bytes) {
            error = "image size does not match its rows";
            return out;
        }
        for (int k = 0; k < 16; ++k)
            icon.palette.push_back({f[pal + 4 * k + 2], f[pal + 4 * k + 1], f[pal + 4 * k]});
        icon.index.resize(size_t(n) * n);
        icon.transparent.resize(size_t(n) * n);
        for (int y = 0; y < n; ++y) {
            const size_t stored = size_t(n - 1 - y);
            for (int x = 0; x < n; ++x) {
                const uint8_t two = f[pixels + stored * colourRow + size_t(x / 2)];
                icon.index[size_t(y) * n + x] = (x % 2 == 0) ? (two >> 4) : (two & 15);
                const uint8_t bits = f[mask + stored * maskRow + size_t(x / 8)];
                icon.transparent[size_t(y) * n + x] = (bits >> (7 - x % 8)) & 1;
            }
        }
        out.push_back(icon);
    }
    return out;
}

}  // namespace art
