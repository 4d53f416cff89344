// A clock that takes the sound output's place: the headless backend's virtual music clock. The
// backend installs it; the audio library stand-in asks it at each BASS_Init whether it stands in
// for the output, and then reads the play position from it.
#pragma once

#include <cstdint>

namespace audio {

struct VirtualClock {
    bool (*active)();        // true while it stands in for the output
    uint32_t (*position)();  // the play position now, in bytes of decoded audio
    void (*musicStarted)();  // a stream began to play (told whether active or not)
    // Told every position the library reports to the program (whether active or not); may be
    // null.
    void (*positionRead)(uint32_t position) = nullptr;
    // Told when the output stops (the show is ending); may be null.
    void (*musicStopped)() = nullptr;
};

// `clock` must outlive the library's use of it; nullptr removes it.
void InstallVirtualClock(const VirtualClock* clock);

}  // namespace audio
