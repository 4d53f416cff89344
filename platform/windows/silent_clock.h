// The clock and failure hooks of the silent audio stand-in; each build links one set: monotonic
// time for the real program, the headless backend's virtual clock for the headless renderer.
#pragma once

#include <cstdint>

namespace windows_audio {

// The stream starts playing from position 0.
void StartClock();
// The output stops or goes on; the position stands still in between.
void PauseClock();
void ResumeClock();
// Bytes of 44.1 kHz 16-bit stereo audio played so far.
uint64_t ClockPosition();

// True when this call of `name` is to fail; *code then holds the code to report (`usual` unless
// the failure was armed with one of its own).
bool InjectedFailure(const char* name, int usual, int* code);

}  // namespace windows_audio
