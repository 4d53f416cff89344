// Strict TGA reader: every run-length packet must lie inside the pixel data, which must end
// exactly where the last packet ends.
#include "tga_read.h"

#include <cstdio>
#include <cstring>

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

DecodedTga DecodeTga(const std::vector<uint8_t>& f) {
    DecodedTga t;
    if (f.size() < 18 + 26) {
        t.error = "too short";
        return t;
    }
    t.idLength = f[0];
    t.mapType = f[1];
    t.imageType = f[2];
    t.mapStart = int(Get16(f, 3));
    t.mapLength = int(Get16(f, 5));
    t.mapEntryBits = f[7];
    t.width = int(Get16(f, 12));
    t.height = int(Get16(f, 14));
    t.bits = f[16];
    t.descriptor = f[17];
    const size_t footer = f.size() - 26;
    if (std::memcmp(&f[footer + 8], "TRUEVISION-XFILE.", 18) != 0) {
        t.error = "no TGA 2.0 footer";
        return t;
    }
    t.extensionOffset = Get32(f, footer);
    t.developerOffset = Get32(f, footer + 4);
    t.dataEnd = footer;
    if (t.extensionOffset) t.dataEnd = t.extensionOffset;
    if (t.developerOffset) t.dataEnd = t.developerOffset;
    if (t.extensionOffset) {
        if (t.extensionOffset + 495 > footer) {
            t.error = "extension area outside the file";
            return t;
        }
        t.extensionSize = int(Get16(f, t.extensionOffset));
    }
    size_t at = 18 + size_t(t.idLength);
    if (t.mapType) {
        if (t.mapEntryBits != 24) {
            t.error = "palette entries are not 24-bit";
            return t;
        }
        if (at + size_t(t.mapLength) * 3 > t.dataEnd) {
            t.error = "palette runs past the pixel data";
            return t;
        }
        for (int i = 0; i < t.mapLength; ++i, at += 3)
            t.palette.push_back({f[at + 2], f[at + 1], f[at]});
    }
    const int size = t.bits / 8;
    if (!(t.bits == 8 || t.bits == 24)) {
        t.error = "unsupported depth";
        return t;
    }
    const size_t total = size_t(t.width) * t.height;
    std::vector<uint8_t> raw(total * size);
    const bool rle = t.imageType >= 9;
    size_t out = 0;
    if (!rle) {
        if (at + raw.size() > t.dataEnd) {
            t.error = "pixel data too short";
            return t;
        }
        std::memcpy(raw.data(), &f[at], raw.size());
        at += raw.size();
        out = total;
    } else {
        while (at < t.dataEnd) {
            const unsigned h = f[at++];
            const size_t n = (h & 127) + 1;
            const size_t need = (h >= 128) ? size_t(size) : n * size;
            if (at + need > t.dataEnd) {
                t.error = "packet runs past the pixel data";
                break;
            }
            if (out + n > total) {
                t.error = "packets yield more pixels than the picture holds";
                break;
            }
            for (size_t k = 0; k < n; ++k, ++out) {
                const size_t src = (h >= 128) ? at : at + k * size;
                std::memcpy(&raw[out * size], &f[src], size);
            }
            at += need;
        }
    }
    t.packetsEnd = at;
    t.pixelsDecoded = out;
    if (t.error.empty() && out != total) t.error = "packets yield too few pixels";
    if (t.error.empty() && at != t.dataEnd) t.error = "pixel data does not end at E";
    // Rows as shown: bottom row first unless the descriptor says top first.
    const bool topFirst = (t.descriptor & 0x20) != 0;
    if (t.bits == 8) t.index.resize(total);
    t.rgb.resize(total);
    for (int y = 0; y < t.height; ++y) {
        const int stored = topFirst ? y : t.height - 1 - y;
        for (int x = 0; x < t.width; ++x) {
            const size_t s = (size_t(stored) * t.width + x) * size;
            const size_t d = size_t(y) * t.width + x;
            if (t.bits == 8) {
                t.index[d] = raw[s];
                t.rgb[d] =
                    raw[s] < t.palette.size() ? t.palette[raw[s]] : std::array<uint8_t, 3>{0, 0, 0};
            } else {
                t.rgb[d] = {raw[s + 2], raw[s + 1], raw[s]};
            }
        }
    }
    return t;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return bytes;
}

}  // namespace art
