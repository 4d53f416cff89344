// Masks, ramps and signed distance shapes for the picture generator.
#include "canvas.h"

namespace art {

Rgb Ramp::operator()(float t) const {
    if (t <= stops.front().at) return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].at) {
            const Stop& a = stops[i - 1];
            const Stop& b = stops[i];
            return Mix(a.colour, b.colour, (t - a.at) / (b.at - a.at));
        }
    }
    return stops.back().colour;
}

Mask Dilate(const Mask& m, float radius) {
    Mask out(m.width, m.height);
    const int r = int(std::ceil(radius));
    std::vector<std::pair<int, int>> offsets;
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            if (float(dx * dx + dy * dy) <= radius * radius + 0.01f) offsets.push_back({dx, dy});
        }
    }
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            float best = 0;
            for (auto [dx, dy] : offsets) best = std::max(best, m.get(x + dx, y + dy));
            out.at(x, y) = best;
        }
    }
    return out;
}

namespace {

void BoxPass(const Mask& in, Mask& out, int radius, bool horizontal) {
    const float inv = 1.0f / float(2 * radius + 1);
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            float sum = 0;
            for (int k = -radius; k <= radius; ++k)
                sum += horizontal ? in.get(x + k, y) : in.get(x, y + k);
            out.at(x, y) = sum * inv;
        }
    }
}

}  // namespace

Mask Blur(const Mask& m, int radius) {
    Mask a = m, b(m.width, m.height);
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(a, b, radius, true);
        BoxPass(b, a, radius, false);
    }
    return a;
}

float SdCircle(float px, float py, float cx, float cy, float r) {
    return std::hypot(px - cx, py - cy) - r;
}

float SdCapsule(float px, float py, float ax, float ay, float bx, float by, float r) {
    return SdCapsuleTapered(px, py, ax, ay, bx, by, r, r);
}

float SdCapsuleTapered(float px, float py, float ax, float ay, float bx, float by, float ra,
                       float rb) {
    const float pax = px - ax, pay = py - ay, bax = bx - ax, bay = by - ay;
    const float len2 = bax * bax + bay * bay;
    const float h = len2 > 0 ? Clamp01((pax * bax + pay * bay) / len2) : 0.0f;
    return std::hypot(pax - bax * h, pay - bay * h) - (ra + (rb - ra) * h);
}

float SdBox(float px, float py, float cx, float cy, float hw, float hh) {
    const float dx = std::fabs(px - cx) - hw, dy = std::fabs(py - cy) - hh;
    const float ox = std::max(dx, 0.0f), oy = std::max(dy, 0.0f);
    return std::hypot(ox, oy) + std::min(std::max(dx, dy), 0.0f);
}

float SdHexagon(float px, float py, float cx, float cy, float r) {
    // Distance to the six edges of a hexagon whose vertices point up and down: two upright
    // sides and four slanted ones with normals at 60 degrees.
    const float x = std::fabs(px - cx), y = std::fabs(py - cy);
    const float apothem = r * 0.8660254f;
    const float d1 = x - apothem;
    const float d2 = x * 0.5f + y * 0.8660254f - apothem;
    return std::max(d1, d2);
}

float SmoothMin(float a, float b, float k) {
    const float h = Clamp01(0.5f + 0.5f * (b - a) / k);
    return b + (a - b) * h - k * h * (1 - h);
}

}  // namespace art
