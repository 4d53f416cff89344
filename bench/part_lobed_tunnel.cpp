// LobedTunnelPart: Load once, then Render + Present per frame on the headless display.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/part_show.h"
#include "parts/lobed_tunnel.h"

namespace {

// Load runs once per process, so this measures a single call.
void BM_LobedTunnelPart_Load(benchmark::State& state) {
    Display& display = ShowDisplay();
    for (auto _ : state) lobedTunnelPart.Load(mainWindow, display);
}
BENCHMARK(BM_LobedTunnelPart_Load)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LobedTunnelPart_Frame(benchmark::State& state) {
    BenchmarkFrames(state, lobedTunnelPart, 600);
}
BENCHMARK(BM_LobedTunnelPart_Frame)->Unit(benchmark::kMicrosecond);

// The depth and angle tables, the bulk of Load, built again and again.
void BM_LobedTunnelPart_Tables(benchmark::State& state) {
    std::vector<uint8_t> depth(320 * 240), angle(320 * 240);
    for (auto _ : state) {
        lobed_tunnel::BuildTables(depth.data(), angle.data());
        benchmark::DoNotOptimize(depth.data());
    }
}
BENCHMARK(BM_LobedTunnelPart_Tables)->Unit(benchmark::kMillisecond);

}  // namespace
