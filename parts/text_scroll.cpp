// Zooming text scroller with rings of glow sprites.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/text_scroll.h"

#include "video/display.h"

TextScrollPart textScrollPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void TextScrollPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void TextScrollPart::Render(HWND, Display&, deciseconds) {}

void TextScrollPart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void TextScrollPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
