// RayTunnelPart: Load once, then Render + Present per frame on the headless display.
#include <benchmark/benchmark.h>

#include "bench/part_show.h"
#include "parts/ray_tunnel.h"

namespace {

// Load runs once per process, so this measures a single call.
void BM_RayTunnelPart_Load(benchmark::State& state) {
    Display& display = ShowDisplay();
    for (auto _ : state) rayTunnelPart.Load(mainWindow, display);
}
BENCHMARK(BM_RayTunnelPart_Load)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RayTunnelPart_Frame(benchmark::State& state) {
    BenchmarkFrames(state, rayTunnelPart, 680);
}
BENCHMARK(BM_RayTunnelPart_Frame)->Unit(benchmark::kMicrosecond);

}  // namespace
