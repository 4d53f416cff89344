// Hash-based noise functions; every value is a pure function of its arguments.
#include "noise.h"

#include <cmath>

namespace art {

uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

uint32_t Hash(int x, int y, uint32_t seed) {
    return Hash(uint32_t(x) ^ Hash(uint32_t(y) ^ Hash(seed)));
}

namespace {

int Wrap(int v, int period) {
    const int m = v % period;
    return m < 0 ? m + period : m;
}

float Fade(float t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

float Corner(int ix, int iy, float dx, float dy, int period, uint32_t seed) {
    const uint32_t h = Hash(Wrap(ix, period), Wrap(iy, period), seed);
    const float angle = float(h & 0xFFFF) * (6.2831853f / 65536.0f);
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

}  // namespace

float Gradient(float x, float y, int period, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float dx = x - fx, dy = y - fy;
    const float u = Fade(dx), v = Fade(dy);
    const float a = Corner(ix, iy, dx, dy, period, seed);
    const float b = Corner(ix + 1, iy, dx - 1, dy, period, seed);
    const float c = Corner(ix, iy + 1, dx, dy - 1, period, seed);
    const float d = Corner(ix + 1, iy + 1, dx - 1, dy - 1, period, seed);
    const float top = a + (b - a) * u, bottom = c + (d - c) * u;
    return (top + (bottom - top) * v) * 1.41421356f;
}

float Fbm(float x, float y, int period, int octaves, float gain, uint32_t seed) {
    float sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * Gradient(x, y, period, seed + uint32_t(o) * 101u);
        norm += amplitude;
        amplitude *= gain;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / norm;
}

void Cells(float x, float y, int cells, uint32_t seed, float& f1, float& f2, uint32_t& id,
           float* offsetX, float* offsetY) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    f1 = f2 = 1e9f;
    id = 0;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const int cx = ix + i, cy = iy + j;
            const uint32_t h = Hash(Wrap(cx, cells), Wrap(cy, cells), seed);
            const float px = float(cx) + float(h & 0xFFFF) / 65536.0f;
            const float py = float(cy) + float(h >> 16) / 65536.0f;
            const float d = std::hypot(px - x, py - y);
            if (d < f1) {
                f2 = f1;
                f1 = d;
                id = h;
                if (offsetX) *offsetX = x - px;
                if (offsetY) *offsetY = y - py;
            } else if (d < f2) {
                f2 = d;
            }
        }
    }
}

}  // namespace art
