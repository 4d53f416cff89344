// A cloud of coloured points moving in equal straight steps from one key frame to the next.
#pragma once

#include "image/image.h"

struct MorphPoint {
    float x;
    float y;
    uint16_t colour;  // 16-bit pixel in PixelLayout
};

struct MorphDelta {
    float dx;
    float dy;
};

class MorphPointSet {
  public:
    int32_t steps = 0;  // steps still to go; -1 once the target has been adopted
    int32_t count = 0;  // points in the current key frame
    MorphPoint* current = nullptr;
    MorphPoint* target = nullptr;
    MorphDelta* deltas = nullptr;

    MorphPointSet() = default;
    ~MorphPointSet();
    MorphPointSet(const MorphPointSet&) = delete;
    MorphPointSet& operator=(const MorphPointSet&) = delete;

    // Pushes n white points at random positions left + r * (right - left) / 32767 (likewise y).
    void PushRandom(int32_t n, int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Pushes the pixels of a 16-bit image that differ from `key`, placed at (left, top).
    void PushImage(const Image& image, int32_t left, int32_t top, uint16_t key);
    // Moves every point one step, or adopts the target when the steps have run out.
    void Step();
    // Releases all three arrays; the set then holds none.
    void Release();
};
