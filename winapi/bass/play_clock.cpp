// Play position arithmetic for the audio library stand-in.
#include "winapi/bass/play_clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "winapi/bass/decoder.h"

namespace audio {
namespace {

std::atomic<TimeSource> timeSource{nullptr};

}  // namespace

uint64_t BytesForNanoseconds(int64_t ns) {
    if (ns <= 0) return 0;
    constexpr uint64_t kSecond = 1000000000;
    uint64_t n = static_cast<uint64_t>(ns);
    uint64_t bytes = n / kSecond * kBytesPerSecond + n % kSecond * kBytesPerSecond / kSecond;
    return bytes & ~uint64_t(3);
}

void CallbackClock::OnCallback(uint64_t bytesBefore, int64_t nowNs, uint32_t bufferBytes) {
    called_ = true;
    bytesBefore_ = bytesBefore;
    callbackNs_ = nowNs;
    bufferBytes_ = bufferBytes;
}

uint64_t CallbackClock::Position(int64_t nowNs) const {
    if (!called_) return 0;
    uint64_t since = BytesForNanoseconds(nowNs - callbackNs_);
    return bytesBefore_ + std::min<uint64_t>(since, bufferBytes_);
}

void WallClock::Start(int64_t nowNs) {
    running_ = true;
    sinceNs_ = nowNs;
    playedNs_ = 0;
}

void WallClock::Pause(int64_t nowNs) {
    if (!running_) return;
    playedNs_ += std::max<int64_t>(nowNs - sinceNs_, 0);
    running_ = false;
}

void WallClock::Resume(int64_t nowNs) {
    if (running_) return;
    running_ = true;
    sinceNs_ = nowNs;
}

uint64_t WallClock::Position(int64_t nowNs) const {
    int64_t played = playedNs_;
    if (running_) played += std::max<int64_t>(nowNs - sinceNs_, 0);
    return BytesForNanoseconds(played);
}

int64_t NowNanoseconds() {
    if (TimeSource source = timeSource.load()) return source();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SetTimeSource(TimeSource source) {
    timeSource = source;
}

}  // namespace audio
