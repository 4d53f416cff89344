// Zoom-blur feedback kernels: the 0.98 enlargement and the eight-neighbour soften.
#include "parts/zoom_blur_kernels.h"

#include "image/numeric.h"
#include "video/pixel_layout.h"

namespace zoomblur {

namespace {
constexpr float kZoomFactor = 0.98f;
}  // namespace

bool IsScreenImage(const Image& image) {
    return image.pixels != nullptr && image.width == kWidth && image.height == kHeight &&
           image.bitsPerPixel == 16 && image.bytesPerRow == kWidth * 2;
}

void BuildZoomMaps(int32_t (&columns)[kWidth], int32_t (&rows)[kHeight]) {
    for (int32_t i = 0; i < kWidth; ++i) {
        columns[i] = TruncToInt(double(i - 160) * double(kZoomFactor) + 160.0);
    }
    for (int32_t i = 0; i < kHeight; ++i) {
        rows[i] = TruncToInt(double(i - 120) * double(kZoomFactor) + 120.0);
    }
}

void ZoomFromMaps(Image& dest, const Image& source, const int32_t (&columns)[kWidth],
                  const int32_t (&rows)[kHeight]) {
    if (!IsScreenImage(dest) || !IsScreenImage(source)) return;
    for (int32_t c : columns) {
        if (c < 0 || c >= kWidth) return;
    }
    for (int32_t r : rows) {
        if (r < 0 || r >= kHeight) return;
    }
    const uint16_t* src = reinterpret_cast<const uint16_t*>(source.pixels);
    uint16_t* out = reinterpret_cast<uint16_t*>(dest.pixels);
    for (int32_t y = 0; y < kHeight; ++y) {
        const uint16_t* srcRow = src + rows[y] * kWidth;
        uint16_t* outRow = out + y * kWidth;
        for (int32_t x = 0; x < kWidth; ++x) outRow[x] = srcRow[columns[x]];
    }
}

void SoftenEightNeighbours(Image& dest, const Image& source) {
    if (!IsScreenImage(dest) || !IsScreenImage(source) || dest.pixels == source.pixels) return;
    const uint32_t redMask = PixelLayout.redMask;
    const uint32_t greenMask = PixelLayout.greenMask;
    const uint32_t blueMask = PixelLayout.blueMask;
    const uint16_t* __restrict src = reinterpret_cast<const uint16_t*>(source.pixels);
    uint16_t* __restrict out = reinterpret_cast<uint16_t*>(dest.pixels);
    // The walk reads index kSoftenFirst - 321 = 0 at the lowest and kSoftenEnd - 1 + 321 = 76325
    // at the highest.
    for (int32_t q = kSoftenFirst; q < kSoftenEnd; ++q) {
        const uint32_t n[8] = {src[q - 321], src[q - 320], src[q - 319], src[q - 1],
                               src[q + 1],   src[q + 319], src[q + 320], src[q + 321]};
        uint32_t red = 0, green = 0, blue = 0;
        for (uint32_t p : n) {
            red += p & redMask;
            green += p & greenMask;
            blue += p & blueMask;
        }
        out[q] = static_cast<uint16_t>(((red >> 3) & redMask) | ((green >> 3) & greenMask) |
                                       ((blue >> 3) & blueMask));
    }
}

}  // namespace zoomblur
