// Interfering ring patterns with strips and a rising figure.
#include "parts/ring_interference.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "image/numeric.h"
#include "parts/pictures.h"
#include "parts/polar_sweep.h"
#include "video/display.h"

RingInterferencePart ringInterferencePart;

namespace ring_interference {

namespace {

constexpr int64_t kRingPixels = int64_t(kRingWidth) * kRingHeight;

// Pixel `index` of the ring image taken as one linear array; 0 outside it.
inline uint16_t RingAt(const uint16_t* rings, int64_t index) {
    return (index >= 0 && index < kRingPixels) ? rings[index] : 0;
}

}  // namespace

void DrawRings(uint16_t* rings) {
    // P = the single-precision 6.283185; the step is P / 2000.
    polar_sweep::Angles angles =
        polar_sweep::MakeAngles(6.283185005187988, 0.003141592502593994, 10.0, 5.0);
    const polar_sweep::Frame frame = {kRingWidth, kRingHeight, 320, 240};
    std::vector<int32_t> dx(angles.number.size()), dy(angles.number.size());
    int32_t pass = 0;
    for (double base = 0.0; base < 540.0; base += 0.2, ++pass) {
        if (pass % 16 == 0) polar_sweep::DropMissing(angles, base, frame);
        polar_sweep::Offsets(angles, base, dx.data(), dy.data());
        const uint16_t value = static_cast<uint16_t>(kRing * (TruncToInt(base * 0.1) % 2));
        const size_t count = angles.number.size();
        for (size_t k = 0; k < count; ++k) {
            const int32_t x = dx[k] + 320;
            const int32_t y = 240 - dy[k];
            if (x >= 0 && x < kRingWidth && y >= 0 && y < kRingHeight) {
                rings[y * kRingWidth + x] = value;
            }
        }
    }
}

void Bounce(Window& window, Velocity& velocity) {
    if (window.x > 320 || window.x < 1) velocity.x = -velocity.x;
    if (window.y > 240 || window.y < 1) velocity.y = -velocity.y;
    window.x += velocity.x;
    window.y += velocity.y;
}

int32_t DividingColumn(int32_t row, double phase) {
    return TruncToInt(160.0 - 60.0 * std::sin(row * 0.026166666666666668 + 5.0 * phase) *
                                  std::cos(2.0 * phase));
}

void Interfere(uint16_t* frame, const uint16_t* rings, Window a, Window b, double phase) {
    for (int32_t i = 0; i < kHeight; ++i) {
        const int32_t split = std::clamp(DividingColumn(i, phase), 0, kWidth);
        const int64_t startA = int64_t(a.y + i) * kRingWidth + a.x;
        const int64_t startB = int64_t(b.y + i) * kRingWidth + b.x;
        uint16_t* out = frame + i * kWidth;
        if (startA >= 0 && startA + kWidth <= kRingPixels && startB >= 0 &&
            startB + kWidth <= kRingPixels) {
            const uint16_t* rowA = rings + startA;
            const uint16_t* rowB = rings + startB;
            for (int32_t j = 0; j < split; ++j) out[j] = static_cast<uint16_t>(rowA[j] + rowB[j]);
            for (int32_t j = split; j < kWidth; ++j) {
                out[j] = static_cast<uint16_t>(rowA[j] - rowB[j]);
            }
        } else {
            for (int32_t j = 0; j < kWidth; ++j) {
                const uint16_t va = RingAt(rings, startA + j);
                const uint16_t vb = RingAt(rings, startB + j);
                out[j] = static_cast<uint16_t>(j < split ? va + vb : va - vb);
            }
        }
    }
}

uint16_t StripLevel(double arg) {
    return static_cast<uint16_t>(TruncToInt(255.0 * std::sin(arg)));
}

int32_t FigureRows(double phase) {
    return TruncToInt(75.0 - 75.0 * std::sin(phase));
}

}  // namespace ring_interference

namespace {

using ring_interference::kHeight;
using ring_interference::kWidth;

int32_t loadDone = 0;
int32_t unloadDone = 0;
bool latched = false;
deciseconds firstT = 0;
double phase = 0.0;

bool HasPixels(const Image* image, int32_t width, int32_t height) {
    return image != nullptr && image->pixels != nullptr && image->width == width &&
           image->height == height && image->bitsPerPixel == 16;
}

template <typename T>
void Destroy(T*& object) {
    if (object == nullptr) return;
    delete object;
    object = nullptr;
}

// Draws a whole strip at (x, y) with the given level and key.
void DrawStrip(Image& frame, const Image& strip, int32_t x, int32_t y, uint16_t level,
               uint16_t key) {
    if (strip.pixels == nullptr || strip.bitsPerPixel != 16) return;
    const RECT source = {0, 0, strip.width, strip.height};
    const RECT dest = {x, y, x + strip.width, y + strip.height};
    frame.BlitSprite(strip, source, dest, level, key);
}

}  // namespace

void RingInterferencePart::Load(HWND, Display& display) {
    if (loadDone) return;
    loadDone = 1;

    strip1 = pictures::Load(stripLoader, 131);
    key1 = pictures::FirstPixel(strip1);
    strip2 = pictures::Load(stripLoader, 132);
    key2 = pictures::FirstPixel(strip2);
    strip3 = pictures::Load(stripLoader, 133);
    key3 = pictures::FirstPixel(strip3);
    figure = pictures::Load(figureLoader, 107);
    figureKey = pictures::FirstPixel(figure);

    rings = new Image(ring_interference::kRingWidth, ring_interference::kRingHeight, 16);
    frame = new Image(kWidth, kHeight, 16);
    frameSurface = display.WrapImage(*frame);

    windowA = {320, 240};
    windowB = {50, 200};
    velocityA = {3, 2};
    velocityB = {-4, -1};

    if (HasPixels(rings, ring_interference::kRingWidth, ring_interference::kRingHeight)) {
        ring_interference::DrawRings(reinterpret_cast<uint16_t*>(rings->pixels));
    }
}

void RingInterferencePart::Render(HWND, Display&, deciseconds t) {
    if (!latched) {
        latched = true;
        firstT = t;
    }
    localTime = t - firstT;
    phase += 0.017444444444444446;  // 3.14 / 180

    ring_interference::Bounce(windowA, velocityA);
    ring_interference::Bounce(windowB, velocityB);

    if (!HasPixels(frame, kWidth, kHeight) ||
        !HasPixels(rings, ring_interference::kRingWidth, ring_interference::kRingHeight)) {
        return;
    }
    ring_interference::Interfere(reinterpret_cast<uint16_t*>(frame->pixels),
                                 reinterpret_cast<const uint16_t*>(rings->pixels), windowA, windowB,
                                 phase);

    const int32_t l = localTime;
    if (l > 20 && l < 50) {
        level = ring_interference::StripLevel((l - 20) * 0.10471975008646647);
        DrawStrip(*frame, *strip1, l + 10, l + 40, level, key1);
    }
    if (l > 30 && l < 60) {
        level = ring_interference::StripLevel((l - 30) * 0.10471975008646647);
        DrawStrip(*frame, *strip2, l + 20, 180 - l, level, key2);
    }
    if (l > 20 && l < 70) {
        level = ring_interference::StripLevel((l - 20) * 0.06283185005187988);
        DrawStrip(*frame, *strip3, 70 - l, l + 10, level, key3);
    }

    const int32_t v = ring_interference::FigureRows(phase);
    if (v > 0 && figure->pixels != nullptr && figure->width >= 92 && figure->height >= v) {
        const RECT source = {0, 0, 92, v};
        const RECT dest = {319 - 92, 240 - v, 319, 240};
        frame->BlitSprite(*figure, source, dest, 255, figureKey);
    }
}

void RingInterferencePart::Present(HWND, Display& display, deciseconds) {
    if (frameSurface != nullptr) display.back.Blit(nullptr, frameSurface, nullptr, 0, nullptr);
    display.Flip();
}

void RingInterferencePart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
    Destroy(rings);
    Destroy(frame);
    Destroy(frameSurface);
    Destroy(strip1);
    Destroy(strip2);
    Destroy(strip3);
    Destroy(figure);
}
