// TGA 2.0 encoder: 18-byte header, optional palette, run-length packets that never cross a row,
// a 495-byte extension area and the 26-byte footer pointing at it.
#include "tga_write.h"

#include <cstdio>
#include <cstring>

namespace art {

namespace {

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(uint8_t(v & 255));
    out.push_back(uint8_t((v >> 8) & 255));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t((v >> (8 * i)) & 255));
}

void Header(std::vector<uint8_t>& out, uint8_t mapType, uint8_t imageType, unsigned mapLength,
            uint8_t mapEntryBits, int width, int height, uint8_t bits) {
    out.push_back(0);  // no image ID
    out.push_back(mapType);
    out.push_back(imageType);
    Put16(out, 0);  // first colour-map index
    Put16(out, mapLength);
    out.push_back(mapEntryBits);
    Put16(out, 0);  // x origin
    Put16(out, 0);  // y origin
    Put16(out, unsigned(width));
    Put16(out, unsigned(height));
    out.push_back(bits);
    out.push_back(0);  // descriptor: bottom row first, no alpha bits
}

// Encodes one row of `count` pixel values of `size` bytes each.
void EncodeRow(std::vector<uint8_t>& out, const uint8_t* row, int count, int size) {
    auto same = [&](int a, int b) {
        return std::memcmp(row + a * size, row + b * size, size) == 0;
    };
    int i = 0;
    while (i < count) {
        int run = 1;
        while (i + run < count && run < 128 && same(i, i + run)) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(128 + run - 1));
            out.insert(out.end(), row + i * size, row + (i + 1) * size);
            i += run;
            continue;
        }
        // Raw packet: up to the next pair of equal values.
        int n = 1;
        while (i + n < count && n < 128 && !(i + n + 1 < count && same(i + n, i + n + 1))) ++n;
        out.push_back(uint8_t(n - 1));
        out.insert(out.end(), row + i * size, row + (i + n) * size);
        i += n;
    }
}

void Finish(std::vector<uint8_t>& out) {
    const uint32_t extensionOffset = uint32_t(out.size());
    std::vector<uint8_t> ext(495, 0);
    ext[0] = 495 & 255;
    ext[1] = 495 >> 8;
    const char software[] = "Morvanite art generator";
    std::memcpy(&ext[2 + 41 + 324 + 12 + 41 + 6], software, sizeof software - 1);
    const int versionAt = 2 + 41 + 324 + 12 + 41 + 6 + 41;
    ext[versionAt] = 100;  // 1.00
    ext[versionAt + 2] = ' ';
    out.insert(out.end(), ext.begin(), ext.end());
    Put32(out, extensionOffset);
    Put32(out, 0);  // no developer directory
    const char signature[] = "TRUEVISION-XFILE.";
    out.insert(out.end(), signature, signature + sizeof signature);  // with its zero byte
}

}  // namespace

std::vector<uint8_t> EncodeTga(const Indexed& p) {
    std::vector<uint8_t> out;
    Header(out, 1, 9, 256, 24, p.width, p.height, 8);
    for (const auto& e : p.palette) {
        out.push_back(e[2]);
        out.push_back(e[1]);
        out.push_back(e[0]);
    }
    for (int y = p.height - 1; y >= 0; --y)
        EncodeRow(out, p.index.data() + size_t(y) * p.width, p.width, 1);
    Finish(out);
    return out;
}

std::vector<uint8_t> EncodeTga(const TrueColour& p) {
    std::vector<uint8_t> out;
    Header(out, 0, 10, 0, 0, p.width, p.height, 24);
    std::vector<uint8_t> row(size_t(p.width) * 3);
    for (int y = p.height - 1; y >= 0; --y) {
        const uint8_t* src = p.rgb.data() + size_t(y) * p.width * 3;
        for (int x = 0; x < p.width; ++x) {
            row[x * 3 + 0] = src[x * 3 + 2];
            row[x * 3 + 1] = src[x * 3 + 1];
            row[x * 3 + 2] = src[x * 3 + 0];
        }
        EncodeRow(out, row.data(), p.width, 3);
    }
    Finish(out);
    return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace art
