// Deterministic hash, random stream and tileable gradient noise of our own.
#pragma once

#include <cstdint>

namespace art {

// Integer hash with good avalanche; the whole generator derives its randomness from it.
uint32_t Hash(uint32_t x);
uint32_t Hash(int x, int y, uint32_t seed);

// A reproducible stream of numbers: Next() is Hash of a running counter.
class Random {
  public:
    explicit Random(uint32_t seed) : state_(seed * 0x9E3779B9u + 1u) {}
    uint32_t Next() { return Hash(state_++); }
    // Uniform in [0, 1).
    float Unit() { return float(Next() >> 8) * (1.0f / 16777216.0f); }
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }

  private:
    uint32_t state_;
};

// Gradient noise in about -1..1 that repeats every `period` units in x and in y.
float Gradient(float x, float y, int period, uint32_t seed);
// Sum of `octaves` gradient noises, each of twice the frequency and `gain` times the amplitude
// of the one before; repeats every `period` units (the period of the first octave).
float Fbm(float x, float y, int period, int octaves, float gain, uint32_t seed);
// Cellular noise: distance to the nearest and second-nearest feature point, one per cell of a
// grid of `cells` x `cells` that repeats every `cells` units; writes the nearest cell's id and
// the offset from its feature point.
void Cells(float x, float y, int cells, uint32_t seed, float& f1, float& f2, uint32_t& id,
           float* offsetX = nullptr, float* offsetY = nullptr);

}  // namespace art
