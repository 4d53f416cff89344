// The SDL2 backend: a real window, keyboard, focus and a paced display.
#pragma once

#include <string>

namespace hosts {

struct SdlOptions {
    bool windowed = false;      // a window instead of the whole desktop
    bool integerScale = false;  // whole multiples of 320x240 only
    std::string frameLog;       // a line per shown frame: when, and for which music position
};

// Starts SDL's video and selects this backend. False, with the reason, when there is no display
// or the frame log can't be opened.
bool StartSdl(const SdlOptions& options, std::string* error);
// Shuts SDL down and closes the frame log; after the program has returned. False, with the
// reason, when the frame log could not be written.
bool StopSdl(std::string* error);

}  // namespace hosts
