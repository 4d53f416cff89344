// Lobed texture tunnel with a shaking picture.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/lobed_tunnel.h"

#include "video/display.h"

LobedTunnelPart lobedTunnelPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void LobedTunnelPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void LobedTunnelPart::Render(HWND, Display&, deciseconds) {}

void LobedTunnelPart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void LobedTunnelPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
