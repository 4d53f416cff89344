// Inside view of the audio library stand-in, for the programs (the player's silence, the soundtrack
// capture) and tests.
#pragma once

#include <bass.h>

#include <cstdint>
#include <span>

namespace audio {

enum class OutputKind {
    kNone,      // BASS_Init has not run (or BASS_Free has)
    kSilent,    // no audio device: nothing is heard, the clock is monotonic time
    kHeadless,  // a virtual clock stands in (the headless backend's): nothing is heard
    kDevice     // a sound output (output.h); its clock says how the position follows it
};

OutputKind CurrentOutput();
// True when the position follows device callbacks rather than a clock.
bool ClockFollowsDevice();

// From the next BASS_Init on, open the silent output on the monotonic clock, as when there is
// no device, without looking for one (the player's --no-sound).
void PlaySilently(bool silent);

// Tests: from the next BASS_Init on, open the output as the player does even when a virtual
// clock (the headless backend's) is installed and active.
void IgnoreHeadlessBackendForTesting(bool ignore);
// Tests: from the next BASS_Init on, take the position from device callbacks even on drivers that
// play nothing audible (SDL's dummy and disk).
void FollowDeviceCallbacksForTesting(bool follow);

// The decoded audio of a stream: 44.1 kHz 16-bit little-endian stereo. Empty for an unknown
// handle. Valid until the stream is freed.
std::span<const uint8_t> StreamPcm(HSTREAM handle);

// The library's version in its own encoding: low word major, high word minor (0.7).
inline constexpr DWORD kVersion = 0x00070000;
// What BASS_GetVersion reports when a failure is injected: just below 0.7.
inline constexpr DWORD kTooOldVersion = 0x0006FFFF;

}  // namespace audio
