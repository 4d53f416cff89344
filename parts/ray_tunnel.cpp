// Ray-cast turning tunnel.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/ray_tunnel.h"

#include "video/display.h"

RayTunnelPart rayTunnelPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void RayTunnelPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void RayTunnelPart::Render(HWND, Display&, deciseconds) {}

void RayTunnelPart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void RayTunnelPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
