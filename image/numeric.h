// Numeric helpers shared by every effect: the one checked float-to-integer conversion and the
// program's random sequence.
#pragma once

#include <cmath>
#include <cstdint>

// Truncates toward zero to a signed 32-bit integer. NaN gives 0; values beyond the int32 range
// (infinities included) saturate to INT32_MIN or INT32_MAX.
inline int32_t TruncToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The C runtime's linear congruential generator: seed = seed * 214013 + 2531011 (32-bit,
// wrapping), result = (seed >> 16) & 0x7FFF, 0..32767. One sequence for the whole program,
// starting from seed 1.
int Rand();

// Restarts the sequence; only for tests, the program never reseeds.
void SetRandSeed(uint32_t seed);
