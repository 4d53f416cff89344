// Benchmark support for the effects: the program's window and display, opened once on the
// headless backend, with the parts' real pictures from the embedded resources.
#pragma once

#include <benchmark/benchmark.h>

#include "parts/parte.h"
#include "testing/testing.h"
#include "runtime/window.h"
#include "video/display.h"

// Opens the headless show once per process; later calls reuse it.
inline Display& ShowDisplay() {
    static const bool opened = [] {
        if (mainDisplay.ddraw != nullptr) return true;
        testkit::ResetPlatform();
        CreateMainWindow(nullptr, 1);
        return mainDisplay.Open(mainWindow, 320, 240, 16);
    }();
    (void)opened;
    return mainDisplay;
}

// Render + Present of one part per iteration, at script times from `start` on, after a first
// frame that latches the part's local clock.
template <typename Part>
void BenchmarkFrames(benchmark::State& state, Part& part, deciseconds start) {
    Display& display = ShowDisplay();
    part.Load(mainWindow, display);
    part.Render(mainWindow, display, start);
    int64_t i = 0;
    for (auto _ : state) {
        const deciseconds t = static_cast<deciseconds>(start + (i % 100));
        part.Render(mainWindow, display, t);
        part.Present(mainWindow, display, t);
        ++i;
    }
}
