// The silent stand-in's clock for the headless renderer: the backend's virtual clock, and the
// failures armed with --fail.
#include "platform/clock.h"
#include "platform/failures.h"
#include "platform/windows/silent_clock.h"

namespace windows_audio {
namespace {

bool running = false;
uint64_t frozen = 0;

}  // namespace

void StartClock() {
    running = true;
    frozen = 0;
    platform::NotifyMusicStarted();
}

void PauseClock() {
    running = false;
}

void ResumeClock() {}

uint64_t ClockPosition() {
    if (running) frozen = platform::HeadlessMusicPosition();
    return frozen;
}

bool InjectedFailure(const char* name, int usual, int* code) {
    int64_t value = usual;
    if (!platform::ShouldFail(name, &value)) return false;
    *code = static_cast<int>(value);
    return true;
}

}  // namespace windows_audio
