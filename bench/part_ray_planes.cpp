// RayPlanesPart: Load once, then Render + Present per frame on the headless display.
#include <benchmark/benchmark.h>

#include "bench/part_show.h"
#include "parts/ray_planes.h"

namespace {

// Load runs once per process, so this measures a single call.
void BM_RayPlanesPart_Load(benchmark::State& state) {
    Display& display = ShowDisplay();
    for (auto _ : state) rayPlanesPart.Load(mainWindow, display);
}
BENCHMARK(BM_RayPlanesPart_Load)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RayPlanesPart_Frame(benchmark::State& state) {
    Display& display = ShowDisplay();
    rayPlanesPart.Load(mainWindow, display);
    rayPlanesPart.Render(mainWindow, display, 780);  // latches the part's start time
    int64_t i = 0;
    for (auto _ : state) {
        const deciseconds t = static_cast<deciseconds>(780 + (i % 100));
        rayPlanesPart.Render(mainWindow, display, t);
        rayPlanesPart.Present(mainWindow, display, t);
        ++i;
    }
}
BENCHMARK(BM_RayPlanesPart_Frame)->Unit(benchmark::kMicrosecond);

}  // namespace
