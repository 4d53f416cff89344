// BlitSprite on a whole 320x240 frame: the SSE2, MMX and per-pixel kernels, and pixman compositing
// the same translucent picture (OVER of r5g6b5 through a solid mask of the same level).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <random>

#include "bench/bench.h"
#include "image/blit_sprite.h"
#include "image/pixel_layout.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int32_t kLevel = 128;
constexpr uint32_t kKey = 0xF81F;  // held by about one source pixel in 65536

void FillRandom(Image& image, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int32_t i = 0; i < image.width * image.height; ++i) {
        const uint16_t v = static_cast<uint16_t>(rng());
        std::memcpy(image.pixels + 2 * i, &v, 2);
    }
}

template <int32_t (*Blit)(Image&, const Image&, RECT, RECT, int32_t, uint32_t)>
void BM_BlitSprite(benchmark::State& state) {
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
    Image source(kWidth, kHeight, 16), frame(kWidth, kHeight, 16);
    FillRandom(source, 1);
    FillRandom(frame, 2);
    const RECT all = {0, 0, kWidth, kHeight};
    for (auto _ : state) {
        Blit(frame, source, all, all, kLevel, kKey);
        benchmark::DoNotOptimize(frame.pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

#if defined(MORVANITE_BLIT_SSE2)
BENCHMARK_TEMPLATE(BM_BlitSprite, BlitSpriteSse2)->Name("BlitSprite/sse2");
#endif
#if defined(MORVANITE_BLIT_MMX)
BENCHMARK_TEMPLATE(BM_BlitSprite, BlitSpriteMmx)->Name("BlitSprite/mmx");
#endif
BENCHMARK_TEMPLATE(BM_BlitSprite, BlitSpritePortable)->Name("BlitSprite/portable");

void BM_PixmanOver(benchmark::State& state) {
    Image source(kWidth, kHeight, 16), frame(kWidth, kHeight, 16);
    FillRandom(source, 1);
    FillRandom(frame, 2);
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_r5g6b5, kWidth, kHeight,
                                 reinterpret_cast<uint32_t*>(source.pixels), source.bytesPerRow);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_r5g6b5, kWidth, kHeight,
                                 reinterpret_cast<uint32_t*>(frame.pixels), frame.bytesPerRow);
    const pixman_color_t level = {0, 0, 0, static_cast<uint16_t>(kLevel * 0xFFFF / 256)};
    pixman_image_t* mask = pixman_image_create_solid_fill(&level);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(frame.pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    pixman_image_unref(mask);
    pixman_image_unref(dst);
    pixman_image_unref(src);
}
BENCHMARK(BM_PixmanOver)->Name("pixman/over_r5g6b5_solid_mask");

#if defined(MORVANITE_BLIT_SSE2)
const int kCompared =
    bench::RegisterComparison("BlitSprite/sse2", "pixman/over_r5g6b5_solid_mask", 5.0);
#endif

}  // namespace
