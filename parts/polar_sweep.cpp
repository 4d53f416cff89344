// Points on wavy circles.
#include "parts/polar_sweep.h"

#include <algorithm>
#include <cmath>

#include "image/numeric.h"

namespace polar_sweep {

Angles MakeAngles(double turn, double step, double amplitude, double lobes) {
    Angles angles;
    angles.amplitude = amplitude;
    int32_t number = 0;
    for (double a = 0.0; a < turn; a += step) {
        angles.cosines.push_back(std::cos(a));
        angles.sines.push_back(std::sin(a));
        angles.lobes.push_back(amplitude * std::sin(lobes * a));
        angles.number.push_back(number++);
    }
    return angles;
}

void DropMissing(Angles& angles, double base, const Frame& frame) {
    // From `base` on, r >= base - amplitude. A point is off the frame once |dx| reaches the larger
    // of width - centreX and centreX + 1, or |dy| the larger of centreY + 1 and height - centreY;
    // one more pixel of margin covers the rounding of r and of the products.
    const double lowest = base - std::fabs(angles.amplitude);
    if (lowest <= 0.0) return;
    const double reachX = std::max(frame.width - frame.centreX, frame.centreX + 1) + 1.0;
    const double reachY = std::max(frame.centreY + 1, frame.height - frame.centreY) + 1.0;
    size_t kept = 0;
    for (size_t k = 0; k < angles.number.size(); ++k) {
        if (lowest * std::fabs(angles.cosines[k]) >= reachX ||
            lowest * std::fabs(angles.sines[k]) >= reachY) {
            continue;
        }
        angles.cosines[kept] = angles.cosines[k];
        angles.sines[kept] = angles.sines[k];
        angles.lobes[kept] = angles.lobes[k];
        angles.number[kept] = angles.number[k];
        ++kept;
    }
    angles.cosines.resize(kept);
    angles.sines.resize(kept);
    angles.lobes.resize(kept);
    angles.number.resize(kept);
}

void Offsets(const Angles& angles, double base, int32_t* dx, int32_t* dy) {
    const double* cosines = angles.cosines.data();
    const double* sines = angles.sines.data();
    const double* lobes = angles.lobes.data();
    const size_t count = angles.number.size();
    for (size_t k = 0; k < count; ++k) {
        const double r = base + lobes[k];
        dx[k] = TruncToInt(cosines[k] * r);
        dy[k] = TruncToInt(sines[k] * r);
    }
}

}  // namespace polar_sweep
