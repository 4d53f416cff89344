// The silent stand-in's clock on monotonic time, 176,400 bytes per second of playing time; no
// failures are injected.
#include <chrono>

#include "platform/windows/silent_clock.h"

namespace windows_audio {
namespace {

using Clock = std::chrono::steady_clock;
bool running = false;
Clock::time_point since;
Clock::duration played{};

}  // namespace

void StartClock() {
    played = Clock::duration{};
    since = Clock::now();
    running = true;
}

void PauseClock() {
    if (running) played += Clock::now() - since;
    running = false;
}

void ResumeClock() {
    if (!running) since = Clock::now();
    running = true;
}

uint64_t ClockPosition() {
    Clock::duration total = played + (running ? Clock::now() - since : Clock::duration{});
    const int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(total).count();
    // Whole stereo samples: 44100 per second, 4 bytes each.
    return static_cast<uint64_t>(ns / 1000) * 44100 / 1000000 * 4;
}

bool InjectedFailure(const char*, int, int*) {
    return false;
}

}  // namespace windows_audio
