// Additive sprite ring with zoom-blur trails.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/zoom_trails.h"

#include "video/display.h"

ZoomTrailsPart zoomTrailsPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void ZoomTrailsPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void ZoomTrailsPart::Render(HWND, Display&, deciseconds) {}

void ZoomTrailsPart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void ZoomTrailsPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
