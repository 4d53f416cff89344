// Picture that catches fire along its key-coloured pixels.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/picture_fire.h"

#include "video/display.h"

PictureFirePart pictureFirePart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void PictureFirePart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void PictureFirePart::Render(HWND, Display&, deciseconds) {}

void PictureFirePart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void PictureFirePart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
