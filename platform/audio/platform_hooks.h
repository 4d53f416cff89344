// What the audio library stand-in asks of the rest of the platform layer.
#pragma once

#include <cstdint>

namespace platform {

// True when the program runs on the headless backend (morvanite-render).
bool IsHeadless();
// The headless backend's virtual music clock, in bytes of decoded audio.
uint32_t HeadlessMusicPosition();
// Tells the platform that the stream has started playing: loading is over.
void NotifyMusicStarted();
// True when the next call of the platform function `name` is to fail; `code` then holds the
// error code to report (left as it was when none was given).
bool ShouldFail(const char* name, int64_t* code);

}  // namespace platform
