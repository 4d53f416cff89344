// ZoomTrailsPart: Load once, then Render + Present per frame on the headless display.
#include <benchmark/benchmark.h>

#include "bench/part_show.h"
#include "parts/zoom_trails.h"

namespace {

// Load runs once per process, so this measures a single call.
void BM_ZoomTrailsPart_Load(benchmark::State& state) {
    Display& display = ShowDisplay();
    for (auto _ : state) zoomTrailsPart.Load(mainWindow, display);
}
BENCHMARK(BM_ZoomTrailsPart_Load)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ZoomTrailsPart_Frame(benchmark::State& state) {
    Display& display = ShowDisplay();
    zoomTrailsPart.Load(mainWindow, display);
    zoomTrailsPart.Render(mainWindow, display, 880);  // latches the part's start time
    int64_t i = 0;
    for (auto _ : state) {
        const deciseconds t = static_cast<deciseconds>(880 + 51 + (i % 40));
        zoomTrailsPart.Render(mainWindow, display, t);
        zoomTrailsPart.Present(mainWindow, display, t);
        ++i;
    }
}
BENCHMARK(BM_ZoomTrailsPart_Frame)->Unit(benchmark::kMicrosecond);

}  // namespace
