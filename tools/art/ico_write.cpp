// Icon file encoder for 4-bit images.
#include "ico_write.h"

namespace art {

namespace {

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(uint8_t(v & 255));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

std::vector<uint8_t> Bitmap(const IconImage& im) {
    const int n = im.size;
    const int colourRow = ((n * 4 + 31) / 32) * 4;
    const int maskRow = ((n + 31) / 32) * 4;
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, uint32_t(n));
    Put32(out, uint32_t(n * 2));  // colour rows and mask rows together
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);  // no compression
    Put32(out, uint32_t((colourRow + maskRow) * n));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 16);
    Put32(out, 0);
    for (const auto& c : im.palette) {
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(colourRow), 0);
        for (int x = 0; x < n; ++x) {
            const uint8_t v = im.transparent[size_t(y) * n + x] ? 0 : im.index[size_t(y) * n + x];
            row[size_t(x / 2)] |= uint8_t((x % 2 == 0) ? (v << 4) : v);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(maskRow), 0);
        for (int x = 0; x < n; ++x) {
            if (im.transparent[size_t(y) * n + x]) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeIco(const std::vector<IconImage>& images) {
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, unsigned(images.size()));
    std::vector<std::vector<uint8_t>> bitmaps;
    for (const auto& im : images) bitmaps.push_back(Bitmap(im));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(images[i].size));
        out.push_back(uint8_t(images[i].size));
        out.push_back(16);  // colours
        out.push_back(0);
        Put16(out, 1);  // planes
        Put16(out, 4);  // bits per pixel
        Put32(out, uint32_t(bitmaps[i].size()));
        Put32(out, offset);
        offset += uint32_t(bitmaps[i].size());
    }
    for (const auto& b : bitmaps) out.insert(out.end(), b.begin(), b.end());
    return out;
}

}  // namespace art
