// Wobbling picture that zooms through to a glowing backdrop.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/zoom_through.h"

#include "video/display.h"

ZoomThroughPart zoomThroughPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void ZoomThroughPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void ZoomThroughPart::Render(HWND, Display&, deciseconds) {}

void ZoomThroughPart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void ZoomThroughPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
