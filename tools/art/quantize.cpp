// Palette reduction through libimagequant, with colour keys kept exact and unique.
#include "quantize.h"

#include <libimagequant.h>

#include <cstdio>
#include <cstdlib>

namespace art {

Rgb8 ToRgb8(Rgb c) {
    auto q = [](float v) { return uint8_t(std::lround(Clamp01(v) * 255.0f)); };
    return {q(c.r), q(c.g), q(c.b)};
}

uint16_t To565(Rgb8 c) {
    return uint16_t(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}

namespace {

int Distance(const std::array<uint8_t, 3>& a, const std::array<uint8_t, 3>& b) {
    const int dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return dr * dr * 3 + dg * dg * 4 + db * db * 2;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "quantize: %s\n", what);
    std::exit(1);
}

}  // namespace

Indexed Quantize(const Canvas& c, const QuantizeOptions& options) {
    std::vector<uint8_t> rgba(size_t(c.width) * c.height * 4);
    for (size_t i = 0; i < c.px.size(); ++i) {
        const Rgb8 v = ToRgb8(c.px[i]);
        rgba[i * 4 + 0] = v.r;
        rgba[i * 4 + 1] = v.g;
        rgba[i * 4 + 2] = v.b;
        rgba[i * 4 + 3] = 255;
    }
    liq_attr* attr = liq_attr_create();
    liq_set_max_colors(attr, options.colours);
    liq_set_speed(attr, 3);
    // Entries carry no detail below the 5-bit steps (the low bits repeat the top ones), so the
    // display's truncation to 5-6-5 keeps the level that the dithering counted on.
    liq_set_min_posterization(attr, options.posterize);
    liq_image* image = liq_image_create_rgba(attr, rgba.data(), c.width, c.height, 0);
    if (!image) Fail("cannot create image");
    if (options.key) {
        const Rgb8 k = *options.key;
        liq_image_add_fixed_color(image, liq_color{k.r, k.g, k.b, 255});
    }
    liq_result* result = nullptr;
    if (liq_image_quantize(image, attr, &result) != LIQ_OK) Fail("quantization failed");
    liq_set_dithering_level(result, options.dither);
    Indexed out;
    out.width = c.width;
    out.height = c.height;
    out.index.resize(size_t(c.width) * c.height);
    if (liq_write_remapped_image(result, image, out.index.data(), out.index.size()) != LIQ_OK)
        Fail("remapping failed");
    const liq_palette* pal = liq_get_palette(result);
    for (unsigned i = 0; i < pal->count; ++i)
        out.palette[i] = {pal->entries[i].r, pal->entries[i].g, pal->entries[i].b};
    const int used = int(pal->count);
    liq_result_destroy(result);
    liq_image_destroy(image);
    liq_attr_destroy(attr);

    if (options.key) {
        const Rgb8 k = *options.key;
        const std::array<uint8_t, 3> key{k.r, k.g, k.b};
        const uint16_t key565 = To565(k);
        int keyIndex = -1;
        for (int i = 0; i < used; ++i) {
            if (out.palette[i] == key) keyIndex = i;
        }
        if (keyIndex < 0) Fail("key colour missing from the palette");
        auto entry565 = [&](int i) {
            return To565(Rgb8{out.palette[i][0], out.palette[i][1], out.palette[i][2]});
        };
        for (size_t p = 0; p < out.index.size(); ++p) {
            const bool isKey =
                rgba[p * 4] == k.r && rgba[p * 4 + 1] == k.g && rgba[p * 4 + 2] == k.b;
            if (isKey) {
                out.index[p] = uint8_t(keyIndex);
                continue;
            }
            if (entry565(out.index[p]) != key565) continue;
            // The nearest entry that the display can tell apart from the key.
            const std::array<uint8_t, 3> want{rgba[p * 4], rgba[p * 4 + 1], rgba[p * 4 + 2]};
            int best = -1, bestDistance = 0;
            for (int i = 0; i < used; ++i) {
                if (entry565(i) == key565) continue;
                const int d = Distance(out.palette[i], want);
                if (best < 0 || d < bestDistance) best = i, bestDistance = d;
            }
            if (best < 0) Fail("no colour besides the key");
            out.index[p] = uint8_t(best);
        }
    }
    return out;
}

TrueColour ToTrueColour(const Canvas& c, bool dither) {
    // 4x4 Bayer thresholds in sixteenths.
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    TrueColour out;
    out.width = c.width;
    out.height = c.height;
    out.rgb.resize(size_t(c.width) * c.height * 3);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const Rgb v = Clamp01(c.at(x, y));
            const float t = dither ? (float(kBayer[y & 3][x & 3]) + 0.5f) / 16.0f : 0.5f;
            auto level = [&](float value, int step) {
                const float scaled = value * 255.0f / float(step);
                int l = int(std::floor(scaled + t));
                l = std::min(l, 255 / step);
                return uint8_t(l * step);
            };
            uint8_t* d = &out.rgb[(size_t(y) * c.width + x) * 3];
            d[0] = level(v.r, 8);
            d[1] = level(v.g, 4);
            d[2] = level(v.b, 8);
        }
    }
    return out;
}

}  // namespace art
