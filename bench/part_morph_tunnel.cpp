// MorphTunnelPart: Load once, then Render + Present per frame on the headless display.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/part_show.h"
#include "parts/morph_tunnel.h"

namespace {

// Load runs once per process, so this measures a single call.
void BM_MorphTunnelPart_Load(benchmark::State& state) {
    Display& display = ShowDisplay();
    for (auto _ : state) morphTunnelPart.Load(mainWindow, display);
}
BENCHMARK(BM_MorphTunnelPart_Load)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_MorphTunnelPart_Frame(benchmark::State& state) {
    BenchmarkFrames(state, morphTunnelPart, 420);
}
BENCHMARK(BM_MorphTunnelPart_Frame)->Unit(benchmark::kMicrosecond);

// The angle and depth tables, the bulk of Load, built again and again.
void BM_MorphTunnelPart_Tables(benchmark::State& state) {
    std::vector<uint8_t> angle(320 * 240), depth(320 * 240);
    for (auto _ : state) {
        morph_tunnel::BuildTables(angle.data(), depth.data());
        benchmark::DoNotOptimize(angle.data());
    }
}
BENCHMARK(BM_MorphTunnelPart_Tables)->Unit(benchmark::kMillisecond);

}  // namespace
