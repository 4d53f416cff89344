// Opening picture with fading strips and a zoom-blur dissolve.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/opening_zoom_blur.h"

#include "video/display.h"

OpeningZoomBlurPart openingZoomBlurPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void OpeningZoomBlurPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void OpeningZoomBlurPart::Render(HWND, Display&, deciseconds) {}

void OpeningZoomBlurPart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void OpeningZoomBlurPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
