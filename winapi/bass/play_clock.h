// The play position of a stream as a listener hears it, from the output's two kinds of clock.
#pragma once

#include <cstdint>

namespace audio {

// Bytes of 44.1 kHz 16-bit stereo audio that play in `ns` nanoseconds, rounded down to whole
// stereo samples (4 bytes).
uint64_t BytesForNanoseconds(int64_t ns);

// Position for an output that a device drains one buffer per callback: at each callback the
// bytes handed out before it are taken as heard, and between callbacks the position moves on at
// 176,400 bytes per second, but never more than one buffer past them.
class CallbackClock {
  public:
    // A device callback at `nowNs` asks for `bufferBytes`; `bytesBefore` stream bytes were handed
    // to the device before it.
    void OnCallback(uint64_t bytesBefore, int64_t nowNs, uint32_t bufferBytes);
    // 0 before the first callback.
    uint64_t Position(int64_t nowNs) const;

  private:
    bool called_ = false;
    uint64_t bytesBefore_ = 0;
    int64_t callbackNs_ = 0;
    uint32_t bufferBytes_ = 0;
};

// Position for an output without a device to follow: playing time on a monotonic clock, at
// 176,400 bytes per second; it stands still while paused.
class WallClock {
  public:
    void Start(int64_t nowNs);  // from position 0
    void Pause(int64_t nowNs);
    void Resume(int64_t nowNs);
    uint64_t Position(int64_t nowNs) const;

  private:
    bool running_ = false;
    int64_t sinceNs_ = 0;   // when it last started or resumed
    int64_t playedNs_ = 0;  // playing time before that
};

// The bytes a device has played, from the 32-bit count it reports (which wraps after 4 GiB, some
// 6.8 hours of playing): a 64-bit count that never goes backwards. A reading up to 2 GiB past the
// last one is progress (across a wrap, too); a reading behind the last one is ignored.
class PlayedCounter {
  public:
    // Takes the device's reading; returns the bytes played, in whole stereo samples (4 bytes).
    uint64_t Update(uint32_t reading) {
        uint32_t step = reading - last_;
        if (step < 0x80000000u) {
            total_ += step;
            last_ = reading;
        }
        return total_ & ~uint64_t(3);
    }

  private:
    uint32_t last_ = 0;
    uint64_t total_ = 0;
};

// Monotonic time in nanoseconds; tests may put a clock of their own in its place.
int64_t NowNanoseconds();
using TimeSource = int64_t (*)();
void SetTimeSource(TimeSource source);  // nullptr restores the monotonic system clock

}  // namespace audio
