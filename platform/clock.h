// The headless backend's virtual music clock, for the audio stand-in.
#pragma once

#include <cstdint>

namespace platform {

// True when the program runs on the headless backend (no real sound, virtual clock).
bool IsHeadless();

// The play position, in bytes of decoded audio, that the virtual clock gives now: after k flips
// at F frames per second it is floor(k * 176400 / F), plus the time spent inactive. Reading it
// also tells the clock that loading is over (the first read is the show's start).
uint32_t HeadlessMusicPosition();

// Called by the audio stand-in when the stream starts playing: loading is over.
void NotifyMusicStarted();

// Called by the audio stand-in with every play position it reports to the program.
void NotifyMusicPosition(uint32_t position);

// Called by the audio stand-in when the output stops (the show is ending).
void NotifyMusicStopped();

}  // namespace platform
