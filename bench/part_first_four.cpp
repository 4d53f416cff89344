// The first four effects on the headless backend: Load once (pictures included) and one frame's
// Render + Present in each effect's heaviest phase.
#include <benchmark/benchmark.h>

#include <chrono>

#include "parts/blob_field.h"
#include "parts/opening_zoom_blur.h"
#include "parts/rotozoom_picture.h"
#include "parts/zoom_through.h"
#include "testing/testing.h"
#include "runtime/window.h"
#include "video/display.h"

namespace {

// The window and the open display, made once for every benchmark here.
HWND OpenShowDisplay() {
    static HWND window = [] {
        testkit::ResetPlatform();
        CreateMainWindow(nullptr, SW_SHOW);
        mainDisplay.Open(mainWindow, 320, 240, 16);
        return mainWindow;
    }();
    return window;
}

// Load runs only once per process: one timed iteration.
void MeasureLoad(benchmark::State& state, Parte& part) {
    const HWND window = OpenShowDisplay();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        part.Load(window, mainDisplay);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

// Latches the part's clock at 0 with one frame, then renders frames at local time `at`.
void MeasureFrame(benchmark::State& state, Parte& part, deciseconds at) {
    const HWND window = OpenShowDisplay();
    part.Load(window, mainDisplay);
    part.Render(window, mainDisplay, 0);
    part.Present(window, mainDisplay, 0);
    for (auto _ : state) {
        part.Render(window, mainDisplay, at);
        part.Present(window, mainDisplay, at);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_OpeningZoomBlurLoad(benchmark::State& state) {
    MeasureLoad(state, openingZoomBlurPart);
}
void BM_RotozoomPictureLoad(benchmark::State& state) {
    MeasureLoad(state, rotozoomPicturePart);
}
void BM_ZoomThroughLoad(benchmark::State& state) {
    MeasureLoad(state, zoomThroughPart);
}
void BM_BlobFieldLoad(benchmark::State& state) {
    MeasureLoad(state, blobFieldPart);
}

// Dissolve with the strobe; the rotating texture; the zoom-through; the field with both logos.
void BM_OpeningZoomBlurFrame(benchmark::State& state) {
    MeasureFrame(state, openingZoomBlurPart, 130);
}
void BM_RotozoomPictureFrame(benchmark::State& state) {
    MeasureFrame(state, rotozoomPicturePart, 30);
}
void BM_ZoomThroughWaveFrame(benchmark::State& state) {
    MeasureFrame(state, zoomThroughPart, 10);
}
void BM_ZoomThroughZoomFrame(benchmark::State& state) {
    MeasureFrame(state, zoomThroughPart, 40);
}
void BM_BlobFieldFrame(benchmark::State& state) {
    MeasureFrame(state, blobFieldPart, 40);
}

BENCHMARK(BM_OpeningZoomBlurLoad)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomPictureLoad)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomThroughLoad)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlobFieldLoad)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpeningZoomBlurFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RotozoomPictureFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoomThroughWaveFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoomThroughZoomFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlobFieldFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
