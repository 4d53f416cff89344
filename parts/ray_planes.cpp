// Ray-cast rolling floor and ceiling.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/ray_planes.h"

#include "video/display.h"

RayPlanesPart rayPlanesPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void RayPlanesPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void RayPlanesPart::Render(HWND, Display&, deciseconds) {}

void RayPlanesPart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void RayPlanesPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
