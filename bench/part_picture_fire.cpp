// PictureFirePart: Load once, then Render + Present per frame on the headless display.
#include <benchmark/benchmark.h>

#include "bench/part_show.h"
#include "parts/picture_fire.h"

namespace {

// Load runs once per process, so this measures a single call.
void BM_PictureFirePart_Load(benchmark::State& state) {
    Display& display = ShowDisplay();
    for (auto _ : state) pictureFirePart.Load(mainWindow, display);
}
BENCHMARK(BM_PictureFirePart_Load)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PictureFirePart_Frame(benchmark::State& state) {
    Display& display = ShowDisplay();
    pictureFirePart.Load(mainWindow, display);
    pictureFirePart.Render(mainWindow, display, 1000);  // latches the part's start time
    int64_t i = 0;
    for (auto _ : state) {
        const deciseconds t = static_cast<deciseconds>(1000 + 41 + (i % 100));
        pictureFirePart.Render(mainWindow, display, t);
        pictureFirePart.Present(mainWindow, display, t);
        ++i;
    }
}
BENCHMARK(BM_PictureFirePart_Frame)->Unit(benchmark::kMicrosecond);

}  // namespace
