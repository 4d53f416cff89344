// The audio stand-in's play position arithmetic: bytes per time, callback interpolation, pauses.
#include <gtest/gtest.h>

#include "winapi/bass/play_clock.h"

namespace {

constexpr int64_t kMs = 1000000;
constexpr int64_t kSecond = 1000 * kMs;

TEST(AudioClock, BytesFollowTimeAt176400PerSecondInWholeSamples) {
    EXPECT_EQ(audio::BytesForNanoseconds(0), 0u);
    EXPECT_EQ(audio::BytesForNanoseconds(-5 * kSecond), 0u);
    EXPECT_EQ(audio::BytesForNanoseconds(kSecond), 176400u);
    EXPECT_EQ(audio::BytesForNanoseconds(10 * kSecond), 1764000u);
    // One stereo sample lasts 1/44100 s = 22675.7 ns: the position moves in steps of 4 bytes.
    EXPECT_EQ(audio::BytesForNanoseconds(22675), 0u);
    EXPECT_EQ(audio::BytesForNanoseconds(22676), 4u);
    // 17400 bytes (one decisecond of the show) are reached at 98.639455 ms, not before.
    EXPECT_EQ(audio::BytesForNanoseconds(98639455), 17396u);
    EXPECT_EQ(audio::BytesForNanoseconds(98639456), 17400u);
    // No overflow on a very long run: 100,000 s.
    EXPECT_EQ(audio::BytesForNanoseconds(100000 * kSecond), 17640000000u);
}

TEST(AudioClock, CallbackClockInterpolatesAtMostOneBuffer) {
    audio::CallbackClock clock;
    EXPECT_EQ(clock.Position(5 * kSecond), 0u);  // nothing handed to the device yet

    const uint32_t buffer = 8192;  // 2048 stereo samples, 46.4 ms
    clock.OnCallback(0, kSecond, buffer);
    EXPECT_EQ(clock.Position(kSecond), 0u);
    EXPECT_EQ(clock.Position(kSecond + 10 * kMs), 1764u);
    EXPECT_EQ(clock.Position(kSecond + 500 * kMs), buffer);  // the device is late: capped

    clock.OnCallback(buffer, kSecond + 47 * kMs, buffer);
    EXPECT_EQ(clock.Position(kSecond + 47 * kMs), buffer);
    EXPECT_EQ(clock.Position(kSecond + 57 * kMs), buffer + 1764u);
}

TEST(AudioClock, CallbackClockIsSmoothAndMonotonicOverRegularCallbacks) {
    // Callbacks every 46.44 ms, read every millisecond for 2 s: the position never goes back and
    // never jumps by more than one millisecond's worth plus rounding.
    audio::CallbackClock clock;
    const uint32_t buffer = 8192;
    const int64_t period = 46439909;  // 2048 samples at 44100 Hz
    uint64_t handed = 0;
    int64_t nextCallback = 0;
    uint64_t last = 0;
    for (int64_t now = 0; now <= 2 * kSecond; now += kMs) {
        while (nextCallback <= now) {
            clock.OnCallback(handed, nextCallback, buffer);
            handed += buffer;
            nextCallback += period;
        }
        uint64_t position = clock.Position(now);
        ASSERT_GE(position, last) << "at " << now;
        ASSERT_LE(position - last, 180u) << "at " << now;
        last = position;
    }
    EXPECT_NEAR(static_cast<double>(last), 2 * 176400.0, 4.0);
}

TEST(AudioClock, WallClockStandsStillWhilePaused) {
    audio::WallClock clock;
    EXPECT_EQ(clock.Position(7 * kSecond), 0u);  // not started
    clock.Start(kSecond);
    EXPECT_EQ(clock.Position(kSecond), 0u);
    EXPECT_EQ(clock.Position(3 * kSecond), 2 * 176400u);
    clock.Pause(3 * kSecond);
    EXPECT_EQ(clock.Position(9 * kSecond), 2 * 176400u);
    clock.Pause(10 * kSecond);  // a second pause changes nothing
    clock.Resume(11 * kSecond);
    EXPECT_EQ(clock.Position(12 * kSecond), 3 * 176400u);
    clock.Start(20 * kSecond);  // starting again begins at 0
    EXPECT_EQ(clock.Position(21 * kSecond), 176400u);
}

TEST(AudioClock, PlayedCounterWidensA32BitCountAndNeverGoesBack) {
    struct Step {
        uint32_t reading;
        uint64_t played;
    };
    const Step steps[] = {
        {0, 0},
        {6, 4},  // whole stereo samples only
        {176400, 176400},
        {176000, 176400},  // a reading behind the last: ignored
        {0x7FFFFFF0u, 0x7FFFFFF0u},
        {0xFFFFFFE0u, 0xFFFFFFE0u},     // 6.8 hours in
        {0x00000010u, 0x100000010ull},  // across the wrap
        {0x80000000u, 0x180000000ull},
        {0x00000014u, 0x180000000ull},  // 2 GiB or more ahead is taken as behind
        {0x80000020u, 0x180000020ull},
    };
    audio::PlayedCounter counter;
    for (const Step& step : steps) {
        EXPECT_EQ(counter.Update(step.reading), step.played) << "reading " << step.reading;
    }
}

}  // namespace
