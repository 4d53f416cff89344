// Rotating and zooming texture blended with a picture.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/rotozoom_picture.h"

#include "video/display.h"

RotozoomPicturePart rotozoomPicturePart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void RotozoomPicturePart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void RotozoomPicturePart::Render(HWND, Display&, deciseconds) {}

void RotozoomPicturePart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void RotozoomPicturePart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
