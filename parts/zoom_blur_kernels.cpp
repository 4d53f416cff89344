// Zoom-blur feedback kernels: the 0.98 enlargement and the eight-neighbour soften.
#include "parts/zoom_blur_kernels.h"

#include "image/numeric.h"
#include "image/pixel_layout.h"

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

namespace {

// The formula as written, for any masks.
void SoftenAnyLayout(uint16_t* __restrict out, const uint16_t* __restrict src) {
    const uint32_t redMask = PixelLayout.redMask;
    const uint32_t greenMask = PixelLayout.greenMask;
    const uint32_t blueMask = PixelLayout.blueMask;
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

// Channel planes for SoftenPackedLayout: red and blue fields side by side in one byte each, and
// the green field alone.
uint16_t redBluePlane[kWidth * kHeight];
uint16_t greenPlane[kWidth * kHeight];

// The same result for a layout of contiguous fields (blue at bit 0, green above it, red above
// green, red and blue at most 5 bits): the channel fields are summed unshifted in 16-bit lanes,
// since the sum of eight masked values is the sum of the eight fields shifted into place.
void SoftenPackedLayout(uint16_t* __restrict out, const uint16_t* __restrict src) {
    const uint32_t redMask = PixelLayout.redMask;
    const uint32_t greenMask = PixelLayout.greenMask;
    const uint32_t blueMask = PixelLayout.blueMask;
    const uint32_t greenShift = PixelLayout.blueBits;
    const uint32_t redShift = PixelLayout.blueBits + PixelLayout.greenBits;
    const uint16_t redField = static_cast<uint16_t>(redMask >> redShift);
    const uint16_t greenField = static_cast<uint16_t>(greenMask >> greenShift);
    uint16_t* __restrict redBlue = redBluePlane;
    uint16_t* __restrict green = greenPlane;
    for (int32_t i = 0; i < kWidth * kHeight; ++i) {
        const uint16_t p = src[i];
        redBlue[i] = static_cast<uint16_t>((p & blueMask) | (((p >> redShift) & redField) << 8));
        green[i] = static_cast<uint16_t>((p >> greenShift) & greenField);
    }
    for (int32_t q = kSoftenFirst; q < kSoftenEnd; ++q) {
        const uint32_t sumRedBlue =
            uint16_t(redBlue[q - 321] + redBlue[q - 320] + redBlue[q - 319] + redBlue[q - 1] +
                     redBlue[q + 1] + redBlue[q + 319] + redBlue[q + 320] + redBlue[q + 321]);
        const uint32_t sumGreen =
            uint16_t(green[q - 321] + green[q - 320] + green[q - 319] + green[q - 1] +
                     green[q + 1] + green[q + 319] + green[q + 320] + green[q + 321]);
        const uint32_t red = (((sumRedBlue >> 8) << redShift) >> 3) & redMask;
        const uint32_t blue = ((sumRedBlue & 0xFF) >> 3) & blueMask;
        const uint32_t greenOut = ((sumGreen << greenShift) >> 3) & greenMask;
        out[q] = static_cast<uint16_t>(red | greenOut | blue);
    }
}

bool HasPackedLayout() {
    const int32_t b = PixelLayout.blueBits;
    const int32_t g = PixelLayout.greenBits;
    const int32_t r = PixelLayout.redBits;
    if (b < 1 || b > 5 || r < 1 || r > 5 || g < 1 || g > 8 || b + g + r > 16) return false;
    return PixelLayout.blueMask == (1u << b) - 1 && PixelLayout.greenMask == ((1u << g) - 1) << b &&
           PixelLayout.redMask == ((1u << r) - 1) << (b + g);
}

}  // namespace

void SoftenEightNeighbours(Image& dest, const Image& source) {
    if (!IsScreenImage(dest) || !IsScreenImage(source) || dest.pixels == source.pixels) return;
    // The walk reads index kSoftenFirst - 321 = 0 at the lowest and kSoftenEnd - 1 + 321 = 76325
    // at the highest.
    const uint16_t* src = reinterpret_cast<const uint16_t*>(source.pixels);
    uint16_t* out = reinterpret_cast<uint16_t*>(dest.pixels);
    if (HasPackedLayout()) {
        SoftenPackedLayout(out, src);
    } else {
        SoftenAnyLayout(out, src);
    }
}

}  // namespace zoomblur
