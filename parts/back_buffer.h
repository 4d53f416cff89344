// Copying an effect's finished 16-bit frame onto the display's back buffer.
#pragma once

#include <windows.h>

#include "image/image.h"
#include "video/display.h"

namespace back_buffer {

// Locks the back buffer, converts `frame` (when there is one) into it and unlocks it. A failed
// lock has already shown its box: nothing is copied and nothing is unlocked. Does not flip.
void CopyFrame(HWND window, Display& display, const Image* frame);

}  // namespace back_buffer
