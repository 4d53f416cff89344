// Transcendental functions built from IEEE double +, -, *, / only, so the music renders to the
// same bits with every C library.
#pragma once

#include <cmath>
#include <cstdint>

namespace music::dmath {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 6.28318530717958647692;
inline constexpr double kLn2 = 0.69314718055994530942;

// sin(x) to about 1e-12; Taylor series after reduction to [-pi/2, pi/2].
inline double Sin(double x) {
    const double k = std::floor(x / kTwoPi + 0.5);
    double r = x - k * kTwoPi;
    if (r > kPi / 2) {
        r = kPi - r;
    } else if (r < -kPi / 2) {
        r = -kPi - r;
    }
    const double r2 = r * r;
    double term = r;
    double sum = r;
    for (int n = 1; n <= 8; ++n) {
        term = -term * r2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum = sum + term;
    }
    return sum;
}

inline double Cos(double x) {
    return Sin(x + kPi / 2);
}
inline double Tan(double x) {
    return Sin(x) / Cos(x);
}

// e^x to about 1e-15 relative; 0 below -700.
inline double Exp(double x) {
    if (x < -700.0) return 0.0;
    const double k = std::floor(x / kLn2 + 0.5);
    const double r = x - k * kLn2;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 14; ++n) {
        term = term * r / n;
        sum = sum + term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

// 2^x.
inline double Pow2(double x) {
    return Exp(x * kLn2);
}

// Frequency in Hz of a MIDI note number (69 = A 440 Hz), fractional notes allowed.
inline double NoteHz(double note) {
    return 440.0 * Pow2((note - 69.0) / 12.0);
}

// Per-sample multiplier that makes a level fall to 1/e in `seconds`.
inline double DecayFactor(double seconds, double rate) {
    return Exp(-1.0 / (seconds * rate));
}

// Smooth saturation: odd, monotonic, tends to +-1; close to x for small x.
inline double SoftClip(double x) {
    const double a = x < 0 ? -x : x;
    const double y = a * (27.0 + a * a) / (27.0 + 9.0 * a * a);
    const double c = a < 3.0 ? y : 1.0;
    return x < 0 ? -c : c;
}

// Round half away from zero.
inline std::int64_t Round(double x) {
    return static_cast<std::int64_t>(x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5));
}

}  // namespace music::dmath
