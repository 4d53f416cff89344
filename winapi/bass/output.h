// The sound output behind the audio library stand-in: the default device at 44100 Hz, 16-bit
// little-endian stereo, pulling its audio from the library. One output per build, chosen by the
// file linked in: hosts/sdl/sound_output.cpp (SDL2 audio), hosts/windows/waveout_output.cpp
// (waveOut).
//
// An output provides:
//   - OpenOutput: opens the device, stopped; or returns null with a reason when there is none
//     (the library then plays silently on monotonic time).
//   - Start / Stop: the device plays or pauses. While paused, what it has played stands still.
//   - Lock / Unlock: hold the device's requests for audio off while the library changes its
//     streams. The requests may come on a thread of the output's own, never while locked.
//   - Clock: how the library learns what the listener has heard (OutputClock), and PlayedBytes
//     for the outputs that count it.
// The device asks for audio by calling the request's `fill` with buffers whose lengths are
// multiples of 4 bytes; it plays those bytes in the order they were filled, without gaps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace audio {

// Writes the next `bytes` bytes of audio into `buffer`.
using FillFunction = void (*)(uint8_t* buffer, uint32_t bytes);

enum class OutputClock {
    kMonotonic,   // nothing follows the device's pace (a driver that plays nothing audible):
                  // playing time on a monotonic clock
    kCallbacks,   // each fill is taken as the moment the bytes filled before it were heard
    kPlayedBytes  // the device counts the bytes it has played: PlayedBytes
};

class Output {
  public:
    virtual ~Output() = default;
    virtual OutputClock Clock() const = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // Bytes played since the device was opened, counted in the order they were filled; never
    // goes backwards. Only for OutputClock::kPlayedBytes; 0 for the others.
    virtual uint64_t PlayedBytes() = 0;
};

struct OutputRequest {
    FillFunction fill = nullptr;
    // Follow the device's fills even on a driver that plays nothing audible (tests).
    bool followCallbacks = false;
};

// Opens the default device, stopped. Null, with a reason in *reason, when there is none.
std::unique_ptr<Output> OpenOutput(const OutputRequest& request, std::string* reason);

}  // namespace audio
