// Tunnel with a picture assembled from flying points.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/morph_tunnel.h"

#include "video/display.h"

MorphTunnelPart morphTunnelPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void MorphTunnelPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void MorphTunnelPart::Render(HWND, Display&, deciseconds) {}

void MorphTunnelPart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void MorphTunnelPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
