// The morphing point set: key frames of random or picture points and the straight steps between.
#include "image/morph_points.h"

#include <algorithm>

#include "image/numeric.h"

namespace {

// Signed 32-bit arithmetic that wraps as the processor's does.
inline int32_t Wrap(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

// A zeroed array of `length` entries holding the first entries of `array` (which had `oldLength`);
// the old array is released.
template <typename T>
void Resize(T*& array, int32_t oldLength, int32_t length) {
    T* resized = new T[static_cast<size_t>(length)]();
    std::copy(array, array + std::min(oldLength, length), resized);
    delete[] array;
    array = resized;
}

// The array a key frame of n points is written to: the current array of an empty set, otherwise
// a fresh target (the previous target, if any, becoming current first) with fresh deltas.
MorphPoint* ChooseKeyFrame(MorphPointSet& set, int32_t n) {
    if (set.current == nullptr) {
        set.current = new MorphPoint[static_cast<size_t>(n)]();
        return set.current;
    }
    if (set.target != nullptr) {
        delete[] set.current;
        set.current = set.target;
    }
    delete[] set.deltas;
    set.target = new MorphPoint[static_cast<size_t>(n)]();
    set.deltas = new MorphDelta[static_cast<size_t>(n)]();
    return set.target;
}

// Steps for the n points of the new target: point i travels from current point i and takes the
// target's colour at once; dx = (target x - current x) / steps in double, stored as float. The
// current array holds `count` points; points beyond those have no origin and start on their
// target.
void ComputeDeltas(MorphPointSet& set, int32_t n) {
    if (n > set.count) {
        Resize(set.current, set.count, n);
        std::copy(set.target + set.count, set.target + n, set.current + set.count);
    }
    for (int32_t i = 0; i < n; ++i) {
        set.current[i].colour = set.target[i].colour;
        set.deltas[i].dx =
            static_cast<float>((double{set.target[i].x} - set.current[i].x) / set.steps);
        set.deltas[i].dy =
            static_cast<float>((double{set.target[i].y} - set.current[i].y) / set.steps);
    }
}

}  // namespace

MorphPointSet::~MorphPointSet() {
    Release();
}

void MorphPointSet::Release() {
    delete[] current;
    delete[] target;
    delete[] deltas;
    current = nullptr;
    target = nullptr;
    deltas = nullptr;
    count = 0;
}

void MorphPointSet::PushRandom(int32_t n, int32_t left, int32_t top, int32_t right,
                               int32_t bottom) {
    n = std::max(n, 0);
    const bool morph = current != nullptr;
    MorphPoint* points = ChooseKeyFrame(*this, n);
    const int32_t spanX = Wrap(int64_t{right} - left);
    const int32_t spanY = Wrap(int64_t{bottom} - top);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = Wrap(left + int64_t{Wrap(int64_t{Rand()} * spanX) / 32767});
        const int32_t y = Wrap(top + int64_t{Wrap(int64_t{Rand()} * spanY) / 32767});
        points[i] = {static_cast<float>(x), static_cast<float>(y), 0xFFFF};
    }
    if (morph) ComputeDeltas(*this, n);
    count = n;
}

void MorphPointSet::PushImage(const Image& image, int32_t left, int32_t top, uint16_t key) {
    // Only a 16-bit image with pixel memory has points to give.
    const bool usable =
        image.pixels != nullptr && image.bitsPerPixel == 16 && image.width > 0 && image.height > 0;
    const int32_t n = usable ? image.width * image.height : 0;
    const bool morph = current != nullptr;
    const int32_t originCount = count;
    MorphPoint* points = ChooseKeyFrame(*this, n);

    int32_t kept = 0;
    const uint8_t* pixel = image.pixels;
    for (int32_t row = 0; row < (usable ? image.height : 0); ++row) {
        const uint16_t y = static_cast<uint16_t>(Wrap(int64_t{top} + row));
        for (int32_t column = 0; column < image.width; ++column, pixel += 2) {
            const uint16_t value = static_cast<uint16_t>(pixel[0] | (pixel[1] << 8));
            if (value == key) continue;
            const uint16_t x = static_cast<uint16_t>(Wrap(int64_t{left} + column));
            points[kept++] = {static_cast<float>(x), static_cast<float>(y), value};
        }
    }

    if (morph) {
        Resize(target, n, kept);
        Resize(deltas, n, kept);
        Resize(current, originCount, std::min(originCount, kept));
        count = std::min(originCount, kept);
        ComputeDeltas(*this, kept);
    } else {
        Resize(current, n, kept);
    }
    count = kept;
}

void MorphPointSet::Step() {
    if (steps > 0) {
        if (deltas != nullptr) {
            for (int32_t i = 0; i < count; ++i) {
                current[i].x = static_cast<float>(double{current[i].x} + deltas[i].dx);
                current[i].y = static_cast<float>(double{current[i].y} + deltas[i].dy);
            }
        }
        steps -= 1;
    } else if (steps == 0) {
        // With no target to adopt (a single key frame) the points stay where they are.
        if (target != nullptr) {
            delete[] current;
            current = target;
            target = nullptr;
        }
        steps = -1;
    }
}
