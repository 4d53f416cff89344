// RingInterferencePart: Load once, then Render + Present per frame on the headless display.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/part_show.h"
#include "parts/ring_interference.h"

namespace {

// Load runs once per process, so this measures a single call.
void BM_RingInterferencePart_Load(benchmark::State& state) {
    Display& display = ShowDisplay();
    for (auto _ : state) ringInterferencePart.Load(mainWindow, display);
}
BENCHMARK(BM_RingInterferencePart_Load)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RingInterferencePart_Frame(benchmark::State& state) {
    BenchmarkFrames(state, ringInterferencePart, 520);
}
BENCHMARK(BM_RingInterferencePart_Frame)->Unit(benchmark::kMicrosecond);

// The ring pattern, the bulk of Load, drawn again and again.
void BM_RingInterferencePart_Rings(benchmark::State& state) {
    std::vector<uint16_t> rings(640 * 480);
    for (auto _ : state) {
        ring_interference::DrawRings(rings.data());
        benchmark::DoNotOptimize(rings.data());
    }
}
BENCHMARK(BM_RingInterferencePart_Rings)->Unit(benchmark::kMillisecond);

}  // namespace
