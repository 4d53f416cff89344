// Saturating additive sprites.
#include "parts/sprite_add.h"

#include "image/pixel_layout.h"

namespace {

inline uint32_t SaturatedChannel(uint32_t s, uint32_t d, uint32_t mask) {
    uint32_t sum = (s & mask) + (d & mask);
    return sum < mask ? sum : mask;
}

}  // namespace

uint16_t AddSaturated(uint16_t s, uint16_t d) {
    return static_cast<uint16_t>(SaturatedChannel(s, d, PixelLayout.redMask) |
                                 SaturatedChannel(s, d, PixelLayout.greenMask) |
                                 SaturatedChannel(s, d, PixelLayout.blueMask));
}

void AddSprite(Image& frame, int32_t x, int32_t y, const Image& sprite) {
    const int32_t w = sprite.width;
    const int32_t h = sprite.height;
    if (frame.pixels == nullptr || sprite.pixels == nullptr) return;
    if (frame.bitsPerPixel != 16 || sprite.bitsPerPixel != 16) return;
    if (x < 0 || y < 0 || x > frame.width - w || y > frame.height - h) return;

    const uint32_t red = PixelLayout.redMask;
    const uint32_t green = PixelLayout.greenMask;
    const uint32_t blue = PixelLayout.blueMask;
    const uint16_t* source = reinterpret_cast<const uint16_t*>(sprite.pixels);
    for (int32_t row = 0; row < h; ++row) {
        uint16_t* line =
            reinterpret_cast<uint16_t*>(frame.pixels + (y + row) * frame.bytesPerRow) + x;
        const uint16_t* from = source + row * w;
        for (int32_t column = 0; column < w; ++column) {
            const uint32_t s = from[column];
            const uint32_t d = line[column];
            line[column] =
                static_cast<uint16_t>(SaturatedChannel(s, d, red) | SaturatedChannel(s, d, green) |
                                      SaturatedChannel(s, d, blue));
        }
    }
}
