// The three 256x256 textures; each repeats seamlessly in both directions.
#include "noise.h"
#include "pictures.h"
#include "style.h"

namespace art {

using namespace colour;

std::vector<uint8_t> MakeTunnel() {
    // Crystal cave wall in cool violets and blues: facets at two scales, each a tilted plane,
    // light seams between the large ones, gold threads between the small ones, a fine grain and
    // a few sparks. Light enough to keep showing under depth shading, cool enough for the warm
    // pictures laid over it.
    Canvas c(256, 256);
    const Rgb tints[] = {Hex(0x6A4CC8), Hex(0x4A5AD0), Hex(0x8A5AD8), Hex(0x3A8AC8),
                         Hex(0x7A48B0), Hex(0x5A70E0), Hex(0xA060C8)};
    ShadeSupersampled(c, 2, [&](float x, float y) {
        const float u = x / 256.0f, v = y / 256.0f;
        float f1, f2, g1, g2, ox, oy, sx, sy;
        uint32_t id, id2;
        Cells(u * 7.0f, v * 7.0f, 7, 109, f1, f2, id, &ox, &oy);
        Cells(u * 19.0f, v * 19.0f, 19, 1109, g1, g2, id2, &sx, &sy);
        const Rgb base = tints[id % 7];
        // Each facet is a tilted plane, lit along a direction of its own.
        const float dir = float(id >> 8 & 0xFF) / 255.0f * 6.2831853f;
        const float dir2 = float(id2 >> 8 & 0xFF) / 255.0f * 6.2831853f;
        const float plane = ox * std::cos(dir) + oy * std::sin(dir);
        const float plane2 = sx * std::cos(dir2) + sy * std::sin(dir2);
        const float grain = Fbm(u * 16.0f, v * 16.0f, 16, 4, 0.5f, 7);
        const float drift = Fbm(u * 3.0f, v * 3.0f, 3, 3, 0.5f, 8);
        Rgb col = base * (0.95f + 0.45f * plane + 0.25f * plane2 + 0.12f * grain);
        col = Mix(col, Hex(0x2A1A5A), Clamp01(0.35f - drift * 0.8f));
        const float seam = 1.0f - Smooth(0.0f, 0.05f, f2 - f1);
        const float thread = 1.0f - Smooth(0.0f, 0.07f, g2 - g1);
        col = Mix(col, kGold, thread * 0.45f);
        col = Mix(col, Mix(kCyan, kIvory, 0.4f), seam * 0.9f);
        // Sparks where a small facet's centre lies close to a large facet's seam.
        const float spark = std::exp(-g1 * g1 * 90.0f) * float(id2 % 11 == 0);
        col = Mix(col, kIvory, spark);
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
    // Overlapping petals with gold rims, deep teal to blue, rows of 32 and columns of 64 texels;
    // each lower row covers the one above. The tunnel runs the rows round each lobe and the
    // columns into the depth.
    Canvas c(256, 256);
    const float radius = 34.0f;
    ShadeSupersampled(c, 2, [&](float x, float y) {
        const int row = int(std::floor(y / 32.0f));
        for (int j = row + 2; j >= row - 2; --j) {
            const float cy = float(j) * 32.0f;
            const float offset = (j & 1) ? 32.0f : 0.0f;
            const float k = std::round((x - offset) / 64.0f);
            for (int dk = -1; dk <= 1; ++dk) {
                const float cx = (k + float(dk)) * 64.0f + offset;
                const float dx = x - cx, dy = y - cy;
                const float r = std::hypot(dx, dy);
                if (r > radius || dy < -4.0f) continue;
                const float t = r / radius;
                // A colour that wanders from petal to petal but repeats with the tile.
                const float hue = 0.5f + 0.5f * std::sin(float(((j % 8) + 8) % 8) * 0.7853982f +
                                                         std::cos(cx / 256.0f * 6.2831853f) * 2.0f);
                const Rgb body = Mix(Hex(0x1E6E82), Hex(0x3A3A9C), hue);
                Rgb col = Mix(body * 0.45f, Mix(body, kCyan, 0.45f), Clamp01(dy / radius + 0.2f));
                // A vein down the middle of each petal.
                col = Mix(col, Mix(body, kCyan, 0.7f),
                          (1.0f - Smooth(0.0f, 1.6f, std::fabs(dx))) * Clamp01(dy / radius) * 0.7f);
                col =
                    Mix(col, kIvory,
                        std::exp(-((dx + 10) * (dx + 10) + (dy - 16) * (dy - 16)) / 40.0f) * 0.5f);
                if (t > 0.9f) col = Mix(kGold, kAmber, Clamp01(dy / radius));
                return Clamp01(col);
            }
        }
        return kNight;
    });
    return Encode8(c, 0.4f, false);
}

}  // namespace art
