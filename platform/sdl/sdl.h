// The SDL2 backend: a real window, keyboard, focus and a paced display.
#pragma once

#include <string>

namespace platform {

// Starts SDL's video and selects this backend. `windowed` opens a window instead of covering
// the desktop. False, with the reason, when there is no display.
bool StartSdl(bool windowed, std::string* error);
// Shuts SDL down; after the program has returned.
void StopSdl();

}  // namespace platform
