// Inside view of the audio library stand-in, for the platform's tools (soundtrack capture) and
// tests.
#pragma once

#include <bass.h>

#include <cstdint>
#include <span>

namespace audio {

enum class OutputKind {
    kNone,      // BASS_Init has not run (or BASS_Free has)
    kSilent,    // no audio device: nothing is heard, the clock is monotonic time
    kHeadless,  // the headless backend: nothing is heard, the clock is its virtual clock
    kDevice     // an SDL audio device; the clock follows its callbacks unless the driver is
                // SDL's "dummy" or "disk", which play nothing audible and use monotonic time
};

OutputKind CurrentOutput();
// True when the position follows device callbacks rather than a clock.
bool ClockFollowsDevice();

// From the next BASS_Init on, open the silent output on the monotonic clock, as when there is
// no device, without looking for one (the player's --no-sound).
void PlaySilently(bool silent);

// Tests: from the next BASS_Init on, open the output as the SDL program does even when the
// platform runs its headless backend.
void IgnoreHeadlessBackendForTesting(bool ignore);
// Tests: from the next BASS_Init on, take the position from device callbacks even on SDL's dummy
// and disk drivers.
void FollowDeviceCallbacksForTesting(bool follow);

// The decoded audio of a stream: 44.1 kHz 16-bit little-endian stereo. Empty for an unknown
// handle. Valid until the stream is freed.
std::span<const uint8_t> StreamPcm(HSTREAM handle);

// The library's version in its own encoding: low word major, high word minor (0.7).
inline constexpr DWORD kVersion = 0x00070000;
// What BASS_GetVersion reports when a failure is injected: just below 0.7.
inline constexpr DWORD kTooOldVersion = 0x0006FFFF;

}  // namespace audio
