// The three 256x256 textures; each repeats seamlessly in both directions.
#include "noise.h"
#include "pictures.h"
#include "style.h"

namespace art {

using namespace colour;

std::vector<uint8_t> MakeTunnel() {
    // Crystal cave wall: large and small facets of rose, violet and gold, bright seams between
    // them and a fine grain, all light enough to keep showing under depth shading.
    Canvas c(256, 256);
    const Rgb tints[] = {kRose, kBlush, Hex(0xB07FE0), kGold, Hex(0xD86FC8), kCyan};
    ShadeSupersampled(c, 2, [&](float x, float y) {
        const float u = x / 256.0f, v = y / 256.0f;
        float f1, f2, g1, g2;
        uint32_t id, id2;
        float ox, oy;
        Cells(u * 6.0f, v * 6.0f, 6, 109, f1, f2, id, &ox, &oy);
        Cells(u * 16.0f, v * 16.0f, 16, 1109, g1, g2, id2);
        const Rgb base = tints[id % 6];
        // Each facet is a tilted plane: shade along a direction of its own.
        const float dir = float(id >> 8 & 0xFF) / 255.0f * 6.2831853f;
        const float plane = Clamp01(0.55f + 0.9f * (ox * std::cos(dir) + oy * std::sin(dir)));
        const float grain = Fbm(u * 8.0f, v * 8.0f, 8, 5, 0.55f, 7);
        Rgb col = base * (0.62f + 0.28f * plane + 0.18f * grain);
        col = Mix(col, Mix(base, kIvory, 0.5f),
                  0.25f * float(id2 % 3 == 0) * Smooth(0.0f, 0.4f, g2 - g1));
        const float seam = 1.0f - Smooth(0.0f, 0.06f, f2 - f1);
        const float fine = 1.0f - Smooth(0.0f, 0.08f, g2 - g1);
        col = Mix(col, kIvory, seam * 0.85f);
        col = Mix(col, kGold, fine * 0.35f);
        return Clamp01(col);
    });
    return Encode8(c, 0.5f, false);
}

std::vector<uint8_t> MakeTexture() {
    // Eight-pointed stars in 64-pixel cells with gold bands, diamonds at the cell corners, on
    // deep indigo: bold shapes that still read when turned, enlarged or shrunk.
    Canvas c(256, 256);
    ShadeSupersampled(c, 3, [&](float x, float y) {
        const float px = std::fmod(x, 64.0f) - 32.0f, py = std::fmod(y, 64.0f) - 32.0f;
        const float rx = (px - py) * 0.70710678f, ry = (px + py) * 0.70710678f;
        const float star = std::min(SdBox(px, py, 0, 0, 17, 17), SdBox(rx, ry, 0, 0, 17, 17));
        const float ring = std::fabs(std::hypot(px, py) - 9.0f);
        // Corner diamonds, shared by four cells.
        const float cx = 32.0f - std::fabs(px), cy = 32.0f - std::fabs(py);
        const float diamond = (cx + cy) * 0.70710678f - 9.0f;
        const float grain = Fbm(x / 32.0f, y / 32.0f, 8, 4, 0.5f, 123);
        Rgb col = Mix(kNight, kIndigo, 0.5f + 0.5f * grain);
        if (diamond < 0) col = Mix(kViolet, kPlum, Clamp01(-diamond / 9.0f));
        if (star < 0) {
            const float lit = Clamp01(0.5f - (px + py) / 50.0f);
            col = Mix(kPlum, kRose, lit);
            col = Mix(col, kBlush, Clamp01(-star / 17.0f) * 0.4f);
        }
        if (std::fabs(star) < 2.2f || std::fabs(diamond) < 1.6f)
            col = Mix(kGold, kAmber, Clamp01(0.5f + (px - py) / 64.0f));
        if (star < 0 && ring < 1.6f) col = kGold;
        if (std::hypot(px, py) < 4.0f) col = kIvory;
        return col;
    });
    return Encode8(c, 0.3f, false);
}

std::vector<uint8_t> MakeLobedTexture() {
    // Overlapping scales with gold rims, teal to violet, rows of 16 and columns of 32 texels;
    // each lower row of scales covers the one above.
    Canvas c(256, 256);
    const float radius = 18.0f;
    ShadeSupersampled(c, 2, [&](float x, float y) {
        const int row = int(std::floor(y / 16.0f));
        for (int j = row + 2; j >= row - 2; --j) {
            const float cy = float(j) * 16.0f;
            const float offset = (j & 1) ? 16.0f : 0.0f;
            const float k = std::round((x - offset) / 32.0f);
            for (int dk = -1; dk <= 1; ++dk) {
                const float cx = (k + float(dk)) * 32.0f + offset;
                const float dx = x - cx, dy = y - cy;
                const float r = std::hypot(dx, dy);
                if (r > radius || dy < -2.0f) continue;
                const float t = r / radius;
                // Which scale: a colour that wanders across the tile but repeats with it.
                const float hue =
                    0.5f + 0.5f * std::sin(float(((j % 16) + 16) % 16) * 0.3927f * 2.0f +
                                           std::cos(cx / 256.0f * 6.2831853f));
                const Rgb body = Mix(Hex(0x2C8C9C), Hex(0x7A4FC0), hue);
                Rgb col = Mix(body * 0.55f, Mix(body, kCyan, 0.35f), Clamp01(dy / radius + 0.3f));
                col = Mix(col, kIvory,
                          std::exp(-((dx + 5) * (dx + 5) + (dy - 8) * (dy - 8)) / 18.0f) * 0.6f);
                if (t > 0.86f) col = Mix(kGold, kAmber, Clamp01(dy / radius));
                return Clamp01(col);
            }
        }
        return kNight;
    });
    return Encode8(c, 0.4f, false);
}

}  // namespace art
