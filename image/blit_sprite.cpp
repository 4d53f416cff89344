// The translucent, colour-keyed sprite blitter over 16-bit images.
#include "image/blit_sprite.h"

#include <algorithm>
#include <cstring>

#include "image/pixel_layout.h"

#if defined(MORVANITE_BLIT_SSE2)
#include <emmintrin.h>
#endif
#if defined(MORVANITE_BLIT_MMX)
#include <mmintrin.h>
#endif

namespace {

// Where the three channels sit in a 16-bit pixel: blue always in bits 0..4.
struct ChannelFields {
    int greenShift;
    int redShift;
    uint16_t greenMask;  // after shifting down: 0x3F for 5-6-5, 0x1F for 5-5-5
};

// One blit reduced to rows of pixels that lie inside both images.
struct BlitJob {
    const uint8_t* source;
    uint8_t* destination;
    ptrdiff_t sourceStride;
    ptrdiff_t destinationStride;
    int32_t width;  // pixels per row
    int32_t rows;
    uint16_t level;  // L: 0..256
    uint16_t bias;   // Q = L >> 2
    uint16_t key;
    ChannelFields fields;
};

bool UsableImage(const Image& image) {
    return image.pixels != nullptr && image.bitsPerPixel == 16 && image.width > 0 &&
           image.height > 0 && int64_t{image.bytesPerRow} >= int64_t{image.width} * 2;
}

// Resolves the arguments into a job. Inside the callers' contract (both rectangles inside their
// images, width a positive multiple of 4) the job is exactly the rectangle asked for. Outside it,
// the rectangle is cut to what lies inside both images, so nothing outside either is touched;
// false when nothing is left to draw or the layout is neither 5-6-5 nor 5-5-5.
bool PrepareBlit(Image& destination, const Image& source, RECT sourceRect, RECT destRect,
                 int32_t level, uint32_t key, BlitJob& job) {
    const int channelBits = PixelLayout.redBits + PixelLayout.greenBits + PixelLayout.blueBits;
    if (channelBits == 16) {
        job.fields = {5, 11, 0x3F};
    } else if (channelBits == 15) {
        job.fields = {5, 10, 0x1F};
    } else {
        return false;
    }
    if (!UsableImage(source) || !UsableImage(destination)) return false;

    int64_t left = sourceRect.left, top = sourceRect.top;
    int64_t right = sourceRect.right, bottom = sourceRect.bottom;
    int64_t x = destRect.left, y = destRect.top;
    if (right - left <= 0 || bottom - top <= 0) return false;
    if (left < 0) x -= left, left = 0;
    if (top < 0) y -= top, top = 0;
    if (x < 0) left -= x, x = 0;
    if (y < 0) top -= y, y = 0;
    right = std::min<int64_t>(right, source.width);
    bottom = std::min<int64_t>(bottom, source.height);
    const int64_t width = std::min<int64_t>(right - left, destination.width - x);
    const int64_t rows = std::min<int64_t>(bottom - top, destination.height - y);
    if (width <= 0 || rows <= 0) return false;

    job.source = source.pixels + top * source.bytesPerRow + 2 * left;
    job.destination = destination.pixels + y * destination.bytesPerRow + 2 * x;
    job.sourceStride = source.bytesPerRow;
    job.destinationStride = destination.bytesPerRow;
    job.width = static_cast<int32_t>(width);
    job.rows = static_cast<int32_t>(rows);
    job.level =
        static_cast<uint16_t>(std::min<uint32_t>(static_cast<uint32_t>(level) & 0xFFFF, 256));
    job.bias = static_cast<uint16_t>(job.level >> 2);
    job.key = static_cast<uint16_t>(key);
    return true;
}

inline uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void Store16(uint8_t* p, uint16_t v) {
    std::memcpy(p, &v, 2);
}

// cd + (((cs - cd + 64) * L) >> 8) - Q: always between cd and cs.
inline int MixChannel(int cs, int cd, int level, int bias) {
    return cd + (((cs - cd + 64) * level) >> 8) - bias;
}

inline uint16_t MixPixel(uint16_t s, uint16_t d, const BlitJob& job) {
    const ChannelFields& f = job.fields;
    const int blue = MixChannel(s & 0x1F, d & 0x1F, job.level, job.bias);
    const int green = MixChannel((s >> f.greenShift) & f.greenMask,
                                 (d >> f.greenShift) & f.greenMask, job.level, job.bias);
    const int red =
        MixChannel((s >> f.redShift) & 0x1F, (d >> f.redShift) & 0x1F, job.level, job.bias);
    return static_cast<uint16_t>((red << f.redShift) | (green << f.greenShift) | blue);
}

// Pixels [from, width) of one row, one at a time.
inline void MixRowTail(const uint8_t* s, uint8_t* d, int32_t from, const BlitJob& job) {
    for (int32_t i = from; i < job.width; ++i) {
        const uint16_t sp = Load16(s + 2 * i);
        if (sp == job.key) continue;
        Store16(d + 2 * i, MixPixel(sp, Load16(d + 2 * i), job));
    }
}

void RunPortable(const BlitJob& job) {
    const uint8_t* s = job.source;
    uint8_t* d = job.destination;
    for (int32_t row = 0; row < job.rows; ++row) {
        MixRowTail(s, d, 0, job);
        s += job.sourceStride;
        d += job.destinationStride;
    }
}

#if defined(MORVANITE_BLIT_SSE2)

// The per-pixel rule on eight 16-bit lanes. No lane ever exceeds 16 bits: cs - cd + 64 is 1..127
// and the product with L at most 32512.
struct Sse2Mixer {
    __m128i level, bias, offset, lowMask, greenMask, key, greenShift, redShift;

    explicit Sse2Mixer(const BlitJob& job)
        : level(_mm_set1_epi16(static_cast<short>(job.level))),
          bias(_mm_set1_epi16(static_cast<short>(job.bias))),
          offset(_mm_set1_epi16(64)),
          lowMask(_mm_set1_epi16(0x1F)),
          greenMask(_mm_set1_epi16(static_cast<short>(job.fields.greenMask))),
          key(_mm_set1_epi16(static_cast<short>(job.key))),
          greenShift(_mm_cvtsi32_si128(job.fields.greenShift)),
          redShift(_mm_cvtsi32_si128(job.fields.redShift)) {}

    __m128i Channel(__m128i cs, __m128i cd) const {
        const __m128i spread = _mm_add_epi16(_mm_sub_epi16(cs, cd), offset);
        const __m128i scaled = _mm_srli_epi16(_mm_mullo_epi16(spread, level), 8);
        return _mm_sub_epi16(_mm_add_epi16(cd, scaled), bias);
    }

    __m128i Mix(__m128i s, __m128i d) const {
        const __m128i blue = Channel(_mm_and_si128(s, lowMask), _mm_and_si128(d, lowMask));
        const __m128i green = Channel(_mm_and_si128(_mm_srl_epi16(s, greenShift), greenMask),
                                      _mm_and_si128(_mm_srl_epi16(d, greenShift), greenMask));
        const __m128i red = Channel(_mm_and_si128(_mm_srl_epi16(s, redShift), lowMask),
                                    _mm_and_si128(_mm_srl_epi16(d, redShift), lowMask));
        const __m128i mixed = _mm_or_si128(
            _mm_or_si128(_mm_sll_epi16(red, redShift), _mm_sll_epi16(green, greenShift)), blue);
        const __m128i keyed = _mm_cmpeq_epi16(s, key);
        return _mm_or_si128(_mm_and_si128(keyed, d), _mm_andnot_si128(keyed, mixed));
    }
};

void RunSse2(const BlitJob& job) {
    const Sse2Mixer mixer(job);
    const uint8_t* s = job.source;
    uint8_t* d = job.destination;
    for (int32_t row = 0; row < job.rows; ++row) {
        int32_t i = 0;
        for (; i + 8 <= job.width; i += 8) {
            const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * i));
            const __m128i dp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 2 * i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 2 * i), mixer.Mix(sp, dp));
        }
        if (i + 4 <= job.width) {
            const __m128i sp = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + 2 * i));
            const __m128i dp = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d + 2 * i));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 2 * i), mixer.Mix(sp, dp));
            i += 4;
        }
        MixRowTail(s, d, i, job);
        s += job.sourceStride;
        d += job.destinationStride;
    }
}

#endif

#if defined(MORVANITE_BLIT_MMX)

// The MMX kernel compiles for any x86 processor, whatever the build's flags: the program checks
// for MMX at start-up.
#define MORVANITE_MMX_CODE __attribute__((target("mmx")))

// The per-pixel rule on four 16-bit lanes of a 64-bit register, as Sse2Mixer does on eight.
struct MmxMixer {
    __m64 level, bias, offset, lowMask, greenMask, key, greenShift, redShift;

    MORVANITE_MMX_CODE explicit MmxMixer(const BlitJob& job)
        : level(_mm_set1_pi16(static_cast<short>(job.level))),
          bias(_mm_set1_pi16(static_cast<short>(job.bias))),
          offset(_mm_set1_pi16(64)),
          lowMask(_mm_set1_pi16(0x1F)),
          greenMask(_mm_set1_pi16(static_cast<short>(job.fields.greenMask))),
          key(_mm_set1_pi16(static_cast<short>(job.key))),
          greenShift(_mm_cvtsi32_si64(job.fields.greenShift)),
          redShift(_mm_cvtsi32_si64(job.fields.redShift)) {}

    MORVANITE_MMX_CODE __m64 Channel(__m64 cs, __m64 cd) const {
        const __m64 spread = _mm_add_pi16(_mm_sub_pi16(cs, cd), offset);
        const __m64 scaled = _mm_srli_pi16(_mm_mullo_pi16(spread, level), 8);
        return _mm_sub_pi16(_mm_add_pi16(cd, scaled), bias);
    }

    MORVANITE_MMX_CODE __m64 Mix(__m64 s, __m64 d) const {
        const __m64 blue = Channel(_mm_and_si64(s, lowMask), _mm_and_si64(d, lowMask));
        const __m64 green = Channel(_mm_and_si64(_mm_srl_pi16(s, greenShift), greenMask),
                                    _mm_and_si64(_mm_srl_pi16(d, greenShift), greenMask));
        const __m64 red = Channel(_mm_and_si64(_mm_srl_pi16(s, redShift), lowMask),
                                  _mm_and_si64(_mm_srl_pi16(d, redShift), lowMask));
        const __m64 mixed = _mm_or_si64(
            _mm_or_si64(_mm_sll_pi16(red, redShift), _mm_sll_pi16(green, greenShift)), blue);
        const __m64 keyed = _mm_cmpeq_pi16(s, key);
        return _mm_or_si64(_mm_and_si64(keyed, d), _mm_andnot_si64(keyed, mixed));
    }
};

MORVANITE_MMX_CODE void RunMmx(const BlitJob& job) {
    const uint8_t* s = job.source;
    uint8_t* d = job.destination;
    for (int32_t row = 0; row < job.rows; ++row) {
        {
            const MmxMixer mixer(job);
            int32_t i = 0;
            for (; i + 4 <= job.width; i += 4) {
                __m64 sp, dp;
                std::memcpy(&sp, s + 2 * i, 8);
                std::memcpy(&dp, d + 2 * i, 8);
                const __m64 mixed = mixer.Mix(sp, dp);
                std::memcpy(d + 2 * i, &mixed, 8);
            }
            _mm_empty();
            MixRowTail(s, d, i, job);
        }
        s += job.sourceStride;
        d += job.destinationStride;
    }
}

#endif

}  // namespace

int32_t BlitSpritePortable(Image& destination, const Image& source, RECT sourceRect, RECT destRect,
                           int32_t level, uint32_t key) {
    BlitJob job;
    if (PrepareBlit(destination, source, sourceRect, destRect, level, key, job)) RunPortable(job);
    return 1;
}

#if defined(MORVANITE_BLIT_SSE2)
int32_t BlitSpriteSse2(Image& destination, const Image& source, RECT sourceRect, RECT destRect,
                       int32_t level, uint32_t key) {
    BlitJob job;
    if (PrepareBlit(destination, source, sourceRect, destRect, level, key, job)) RunSse2(job);
    return 1;
}
#endif

#if defined(MORVANITE_BLIT_MMX)
int32_t BlitSpriteMmx(Image& destination, const Image& source, RECT sourceRect, RECT destRect,
                      int32_t level, uint32_t key) {
    BlitJob job;
    if (PrepareBlit(destination, source, sourceRect, destRect, level, key, job)) RunMmx(job);
    return 1;
}
#endif

// SSE2 on x86-64, MMX on 32-bit x86, per pixel elsewhere.
int32_t Image::BlitSprite(const Image& source, RECT sourceRect, RECT destRect, int32_t level,
                          uint32_t key) {
#if defined(__x86_64__) && defined(MORVANITE_BLIT_SSE2)
    return BlitSpriteSse2(*this, source, sourceRect, destRect, level, key);
#elif defined(MORVANITE_BLIT_MMX)
    return BlitSpriteMmx(*this, source, sourceRect, destRect, level, key);
#else
    return BlitSpritePortable(*this, source, sourceRect, destRect, level, key);
#endif
}
