// Points on wavy circles, as the ring pattern and the lobed tunnel draw them: for one base radius
// and every angle a of an accumulated sequence, r = base + amplitude * sin(lobes * a) and the
// offsets (trunc(cos(a) * r), trunc(sin(a) * r)) from a centre.
#pragma once

#include <cstdint>
#include <vector>

namespace polar_sweep {

// The angles a = 0.0, step, step + step, ... while a < turn (accumulated in double), with what
// depends on the angle alone, computed once: the same values, bit for bit, as computing them
// afresh for every base radius. Angles can be dropped; the rest keep their order.
struct Angles {
    std::vector<double> cosines;  // cos(a)
    std::vector<double> sines;    // sin(a)
    std::vector<double> lobes;    // amplitude * sin(lobes * a)
    std::vector<int32_t> number;  // the angle's place in the whole sequence
    double amplitude = 0.0;
};

Angles MakeAngles(double turn, double step, double amplitude, double lobes);

// The image a sweep draws into: `width` x `height` pixels, the centre at (centreX, centreY), the
// point of offsets (dx, dy) at (centreX + dx, centreY - dy).
struct Frame {
    int32_t width;
    int32_t height;
    int32_t centreX;
    int32_t centreY;
};

// Drops every angle whose point lies outside `frame` for every base radius from `base` on. Only
// angles that provably miss are dropped, so what a sweep draws does not change.
void DropMissing(Angles& angles, double base, const Frame& frame);

// For every angle k still held: r = base + lobes[k], dx[k] = trunc(cosines[k] * r),
// dy[k] = trunc(sines[k] * r).
void Offsets(const Angles& angles, double base, int32_t* dx, int32_t* dy);

}  // namespace polar_sweep
