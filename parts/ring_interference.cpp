// Interfering ring patterns with strips and a rising figure.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/ring_interference.h"

#include "video/display.h"

RingInterferencePart ringInterferencePart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void RingInterferencePart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void RingInterferencePart::Render(HWND, Display&, deciseconds) {}

void RingInterferencePart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void RingInterferencePart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
