// Float RGB canvases, coverage masks and the small drawing helpers the pictures share.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace art {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator-(Rgb a, Rgb b) {
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Rgb operator*(Rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Rgb operator*(Rgb a, Rgb b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}

// Colour from 0xRRGGBB.
inline Rgb Hex(uint32_t v) {
    return {float((v >> 16) & 255) / 255.0f, float((v >> 8) & 255) / 255.0f,
            float(v & 255) / 255.0f};
}
inline Rgb Mix(Rgb a, Rgb b, float t) {
    return a + (b - a) * t;
}
inline float Clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}
inline Rgb Clamp01(Rgb c) {
    return {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b)};
}
inline float Smooth(float e0, float e1, float x) {
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline float Luma(Rgb c) {
    return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
}

// Piecewise-linear colour ramp over stops at increasing positions in 0..1.
struct Ramp {
    struct Stop {
        float at;
        Rgb colour;
    };
    std::vector<Stop> stops;
    Rgb operator()(float t) const;
};

// A grid of float values (coverage, height, heat...), row 0 at the top.
struct Mask {
    int width = 0, height = 0;
    std::vector<float> v;
    Mask() = default;
    Mask(int w, int h, float fill = 0) : width(w), height(h), v(size_t(w) * h, fill) {}
    float& at(int x, int y) { return v[size_t(y) * width + x]; }
    float at(int x, int y) const { return v[size_t(y) * width + x]; }
    // Zero outside the grid.
    float get(int x, int y) const {
        return (x < 0 || y < 0 || x >= width || y >= height) ? 0.0f : at(x, y);
    }
};

// Largest value within a disc of the given radius around each cell.
Mask Dilate(const Mask& m, float radius);
// Box blur repeated three times (close to a Gaussian), zero outside.
Mask Blur(const Mask& m, int radius);

// Colour picture in floats, row 0 at the top.
struct Canvas {
    int width = 0, height = 0;
    std::vector<Rgb> px;
    Canvas() = default;
    Canvas(int w, int h, Rgb fill = {}) : width(w), height(h), px(size_t(w) * h, fill) {}
    Rgb& at(int x, int y) { return px[size_t(y) * width + x]; }
    const Rgb& at(int x, int y) const { return px[size_t(y) * width + x]; }
    // Blends colour c over pixel (x, y) by alpha a; outside pixels are ignored.
    void Blend(int x, int y, Rgb c, float a) {
        if (x < 0 || y < 0 || x >= width || y >= height || a <= 0) return;
        Rgb& d = at(x, y);
        d = Mix(d, c, std::min(a, 1.0f));
    }
    void Add(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        at(x, y) = at(x, y) + c;
    }
};

// Fills every pixel with f(x + 0.5, y + 0.5) averaged over n x n sub-samples.
template <class F>
void ShadeSupersampled(Canvas& c, int n, F f) {
    const float inv = 1.0f / float(n * n);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            Rgb sum;
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    sum = sum + f(float(x) + (float(i) + 0.5f) / float(n),
                                  float(y) + (float(j) + 0.5f) / float(n));
                }
            }
            c.at(x, y) = sum * inv;
        }
    }
}

// Coverage of a shape given by a signed distance function (negative inside), n x n samples.
template <class F>
Mask CoverageOf(int w, int h, int n, F sdf) {
    Mask m(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int in = 0;
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    if (sdf(float(x) + (float(i) + 0.5f) / float(n),
                            float(y) + (float(j) + 0.5f) / float(n)) < 0)
                        ++in;
                }
            }
            m.at(x, y) = float(in) / float(n * n);
        }
    }
    return m;
}

// Signed distances of simple shapes.
float SdCircle(float px, float py, float cx, float cy, float r);
float SdCapsule(float px, float py, float ax, float ay, float bx, float by, float r);
float SdCapsuleTapered(float px, float py, float ax, float ay, float bx, float by, float ra,
                       float rb);
float SdBox(float px, float py, float cx, float cy, float hw, float hh);
// Regular hexagon with a vertex pointing up, circumradius r.
float SdHexagon(float px, float py, float cx, float cy, float r);
// Smooth union.
float SmoothMin(float a, float b, float k);

}  // namespace art
