// The shared shapes and colours of every picture.
#include "style.h"

namespace art {

using namespace colour;

namespace {

struct Vec3 {
    float x, y, z;
};
Vec3 Normalize(Vec3 v) {
    const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}
float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

const Vec3 kLight = Normalize({-0.45f, -0.65f, 0.62f});
const Vec3 kHalf = Normalize({kLight.x, kLight.y, kLight.z + 1.0f});

}  // namespace

Rgb DuskSky(float t) {
    static const Ramp ramp{{{0.0f, kNight},
                            {0.35f, kIndigo},
                            {0.62f, kViolet},
                            {0.82f, kPlum},
                            {0.94f, kRose},
                            {1.0f, Hex(0xF4A07A)}}};
    return ramp(t);
}

Rgb GemAt(float x, float y, float cx, float cy, float r, float& alpha) {
    const float px = (x - cx) / r, py = (y - cy) / r;
    const float ax = std::fabs(px), ay = std::fabs(py);
    const float h = std::max(ax, 0.5f * ax + 0.8660254f * ay) / 0.8660254f;
    alpha = h < 1.0f ? 1.0f : 0.0f;
    if (h >= 1.0f) return {};
    const float angle = std::atan2(py, px);
    const float sector = std::round(angle / 1.0471976f);
    const float centre = sector * 1.0471976f;
    const float within = angle - centre;  // -30..30 degrees
    Rgb c;
    if (h < 0.5f) {
        // The table: a flat top, lit across from the upper left.
        const float t = Clamp01(0.5f + (px + py) * 0.7f);
        c = Mix(kBlush, kRose, t);
        const float sparkle =
            std::exp(-((px + 0.18f) * (px + 0.18f) + (py + 0.2f) * (py + 0.2f)) * 40.0f);
        c = Mix(c, kIvory, sparkle * 0.9f);
    } else {
        const float phi = centre + (within < 0 ? -0.21f : 0.21f);
        const float tilt = 0.55f + 0.35f * (h - 0.5f);
        const Vec3 n = Normalize({std::cos(phi) * tilt, std::sin(phi) * tilt, 0.8f});
        const float diffuse = std::max(0.0f, Dot(n, kLight));
        const float specular = std::pow(std::max(0.0f, Dot(n, kHalf)), 24.0f);
        c = Mix(kPlum, kRose, Clamp01(diffuse * 1.15f));
        c = Mix(c, kIvory, Clamp01(specular));
        c = Mix(c, kViolet, Clamp01((0.25f - diffuse) * 1.5f));
        // Dark seams between facets.
        const float seam = std::min(std::fabs(within) * h * r, std::fabs(h - 0.5f) * r);
        c = Mix(c, kIndigo, (1.0f - Smooth(0.0f, 0.9f, seam)) * 0.55f);
    }
    // Gold setting round the rim.
    const float rim = (1.0f - h) * r;
    if (rim < 1.6f) c = Mix(kGold, kAmber, Clamp01(0.5f + (py - px) * 0.5f)) * (0.8f + 0.2f * rim);
    return c;
}

Rgb GemCoverage(int x, int y, float cx, float cy, float r, float& cover) {
    Rgb sum;
    cover = 0;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            float a;
            const Rgb s = GemAt(float(x) + (float(i) + 0.5f) / 4.0f,
                                float(y) + (float(j) + 0.5f) / 4.0f, cx, cy, r, a);
            sum = sum + s * a;
            cover += a;
        }
    }
    return sum;
}

void DrawGem(Canvas& c, float cx, float cy, float r, bool hardEdge) {
    const int x0 = std::max(0, int(cx - r - 1)), x1 = std::min(c.width - 1, int(cx + r + 1));
    const int y0 = std::max(0, int(cy - r - 1)), y1 = std::min(c.height - 1, int(cy + r + 1));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float cover;
            const Rgb sum = GemCoverage(x, y, cx, cy, r, cover);
            if (cover <= 0 || (hardEdge && cover < 8)) continue;
            c.Blend(x, y, sum * (1.0f / cover), hardEdge ? 1.0f : cover / 16.0f);
        }
    }
}

void DrawCrystal(Canvas& c, float bx, float by, float angle, float length, float halfWidth,
                 Rgb tint, float glow) {
    const float ax = std::sin(angle), ay = -std::cos(angle);  // along the axis
    const float qx = std::cos(angle), qy = std::sin(angle);   // across it
    const float tip = halfWidth * 1.5f;
    const float reach = length + halfWidth + 12.0f;
    const int x0 = std::max(0, int(bx - reach)), x1 = std::min(c.width - 1, int(bx + reach));
    const int y0 = std::max(0, int(by - reach)), y1 = std::min(c.height - 1, int(by + reach));
    auto sample = [&](float x, float y, float& cover) -> Rgb {
        const float u = (x - bx) * ax + (y - by) * ay;
        const float v = (x - bx) * qx + (y - by) * qy;
        const float w = u > length - tip ? halfWidth * (length - u) / tip : halfWidth;
        cover = (u >= 0 && u <= length && std::fabs(v) < w) ? 1.0f : 0.0f;
        if (cover == 0) return {};
        const float f = v / std::max(w, 0.001f);  // -1..1 across the faces
        float shade;
        if (f < -0.38f)
            shade = 1.05f;  // the face towards the light
        else if (f < 0.38f)
            shade = 0.78f;
        else
            shade = 0.5f;
        if (u > length - tip) shade += 0.18f;
        const float along = u / length;
        Rgb col = Mix(tint * 0.55f, tint, Clamp01(along * 1.3f)) * shade;
        // Bright edges between the faces.
        const float edge = std::min(std::fabs(f + 0.38f), std::fabs(f - 0.38f)) * w;
        col = Mix(col, kIvory, (1.0f - Smooth(0.0f, 0.8f, edge)) * 0.45f * along);
        return Clamp01(col);
    };
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            Rgb sum;
            float cover = 0;
            for (int j = 0; j < 3; ++j) {
                for (int i = 0; i < 3; ++i) {
                    float a;
                    const Rgb s = sample(float(x) + (float(i) + 0.5f) / 3.0f,
                                         float(y) + (float(j) + 0.5f) / 3.0f, a);
                    sum = sum + s * a;
                    cover += a;
                }
            }
            if (glow > 0) {
                // A soft halo round the prism, strongest at its tip.
                const float px = float(x) + 0.5f, py = float(y) + 0.5f;
                const float d =
                    SdCapsule(px, py, bx, by, bx + ax * length, by + ay * length, halfWidth * 0.6f);
                const float along = (px - bx) * ax + (py - by) * ay;
                const float u = Clamp01(along / length);
                const float g = glow * std::exp(-std::max(d, 0.0f) / 4.5f) * (0.45f + 0.55f * u) *
                                (1.0f - Smooth(length - tip, length + 6.0f, along));
                c.at(x, y) = Clamp01(c.at(x, y) + tint * (g * (1.0f - cover / 9.0f)));
            }
            if (cover > 0) c.Blend(x, y, sum * (1.0f / cover), cover / 9.0f);
        }
    }
}

Mask RimOf(const Mask& letters, float rim) {
    Mask grown = Dilate(letters, rim);
    for (float& v : grown.v) v = v > 0.2f ? 1.0f : 0.0f;
    return grown;
}

void PaintLettering(Canvas& c, const Mask& letters, const Lettering& style, int top, int bottom) {
    const Mask rim = RimOf(letters, style.rim);
    for (int y = 0; y < c.height && y < letters.height; ++y) {
        const float t = Clamp01(float(y - top) / float(std::max(1, bottom - top)));
        const Rgb fill = Mix(style.top, style.bottom, t);
        for (int x = 0; x < c.width && x < letters.width; ++x) {
            if (rim.at(x, y) == 0) continue;
            c.at(x, y) = Mix(style.rimColour, fill, letters.at(x, y));
        }
    }
}

float FigureDistance(const std::vector<Limb>& limbs, float blend, float x, float y) {
    float d = 1e9f;
    for (const Limb& l : limbs) {
        const float e = SdCapsuleTapered(x, y, l.ax, l.ay, l.bx, l.by, l.ra, l.rb);
        d = d > 1e8f ? e : SmoothMin(d, e, blend);
    }
    return d;
}

Mask PaintFigure(Canvas& c, const std::vector<Limb>& limbs, const FigureStyle& style,
                 bool hardEdge) {
    Mask covered(c.width, c.height);
    auto height = [&](float x, float y) {
        const float d = FigureDistance(limbs, style.blend, x, y);
        return std::sqrt(Clamp01(-d / 8.0f)) * 10.0f;
    };
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            int inside = 0;
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < 3; ++i)
                    if (FigureDistance(limbs, style.blend, float(x) + (float(i) + 0.5f) / 3.0f,
                                       float(y) + (float(j) + 0.5f) / 3.0f) < 0)
                        ++inside;
            const float cover = float(inside) / 9.0f;
            if (hardEdge ? cover < 0.5f : cover <= 0.0f) continue;
            const float d = FigureDistance(limbs, style.blend, px, py);
            const float hx = height(px + 0.7f, py) - height(px - 0.7f, py);
            const float hy = height(px, py + 0.7f) - height(px, py - 0.7f);
            const Vec3 n = Normalize({-hx * 0.9f, -hy * 0.9f, 1.0f});
            const float diffuse = std::max(0.0f, Dot(n, kLight));
            const float specular = std::pow(std::max(0.0f, Dot(n, kHalf)), 20.0f);
            Rgb col = Mix(style.dark, style.body, Clamp01(diffuse * 1.2f));
            col = Mix(col, style.light, Clamp01(specular * 0.9f));
            const float back = std::max(0.0f, n.x * 0.6f + n.y * 0.5f);
            col = Mix(col, style.rimLight, Clamp01(back * 1.3f) * (1.0f - Smooth(0.0f, 3.0f, -d)));
            covered.at(x, y) = 1;
            if (hardEdge)
                c.at(x, y) = Clamp01(col);
            else
                c.Blend(x, y, Clamp01(col), cover);
        }
    }
    return covered;
}

}  // namespace art
