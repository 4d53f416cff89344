// Glowing blob field with sliding logos.
// PLACEHOLDER: the effect is not written yet. Render draws nothing; Present shows a black frame.
#include "parts/blob_field.h"

#include "video/display.h"

BlobFieldPart blobFieldPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
}  // namespace

void BlobFieldPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
}

void BlobFieldPart::Render(HWND, Display&, deciseconds) {}

void BlobFieldPart::Present(HWND window, Display& display, deciseconds) {
    if (Image* view = display.back.Lock(window, nullptr, 0)) {
        view->ConvertFrom(*display.black, nullptr);
        display.back.Unlock(window);
    }
    display.Flip();
}

void BlobFieldPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
}
