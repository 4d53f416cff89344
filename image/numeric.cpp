// The program's one random sequence.
#include "image/numeric.h"

namespace {
uint32_t randSeed = 1;
}

int Rand() {
    randSeed = randSeed * 214013u + 2531011u;
    return static_cast<int>((randSeed >> 16) & 0x7FFF);
}

void SetRandSeed(uint32_t seed) {
    randSeed = seed;
}
