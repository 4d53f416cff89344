// TextScrollPart: Load once, then Render + Present per frame on the headless display.
#include <benchmark/benchmark.h>

#include "bench/part_show.h"
#include "parts/text_scroll.h"

namespace {

// Load runs once per process, so this measures a single call.
void BM_TextScrollPart_Load(benchmark::State& state) {
    Display& display = ShowDisplay();
    for (auto _ : state) textScrollPart.Load(mainWindow, display);
}
BENCHMARK(BM_TextScrollPart_Load)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TextScrollPart_Frame(benchmark::State& state) {
    Display& display = ShowDisplay();
    textScrollPart.Load(mainWindow, display);
    textScrollPart.Render(mainWindow, display, 1120);  // latches the part's start time
    int64_t i = 0;
    for (auto _ : state) {
        const deciseconds t = static_cast<deciseconds>(1120 + (i % 300));
        textScrollPart.Render(mainWindow, display, t);
        textScrollPart.Present(mainWindow, display, t);
        ++i;
    }
}
BENCHMARK(BM_TextScrollPart_Frame)->Unit(benchmark::kMicrosecond);

}  // namespace
