// Copying an effect's finished 16-bit frame onto the display's back buffer.
#include "parts/back_buffer.h"

namespace back_buffer {

void CopyFrame(HWND window, Display& display, const Image* frame) {
    if (Image* target = display.back.Lock(window, nullptr, 0)) {
        if (frame != nullptr) target->ConvertFrom(*frame, nullptr);
        display.back.Unlock(window);
    }
}

}  // namespace back_buffer
