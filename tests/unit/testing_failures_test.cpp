// Failure injection: reading NAME[@N|@tT][xK][=CODE] and failing exactly the calls it names.
#include <gtest/gtest.h>

#include <ddraw.h>
#include <intrin.h>

#include "testing/testing.h"

namespace {

class Failures : public ::testing::Test {
  protected:
    void SetUp() override { testkit::ResetPlatform(); }
    void TearDown() override { testkit::ResetPlatform(); }
    bool Arm(const std::string& request) { return testkit::ArmFailure(request, &error); }
    std::string error;
};

TEST_F(Failures, TheNthCallFailsWithItsCodeAndOnlyThatOne) {
    ASSERT_TRUE(Arm("Lock@3=DDERR_WASSTILLDRAWING"));
    int64_t code = DDERR_SURFACELOST;
    EXPECT_FALSE(testkit::ShouldFail(winapi::Call::kLock, &code));
    EXPECT_FALSE(testkit::ShouldFail(winapi::Call::kUnlock, &code));  // counted apart
    EXPECT_FALSE(testkit::ShouldFail(winapi::Call::kLock, &code));
    EXPECT_TRUE(testkit::ShouldFail(winapi::Call::kLock, &code));
    EXPECT_EQ(code, DDERR_WASSTILLDRAWING);
    EXPECT_FALSE(testkit::ShouldFail(winapi::Call::kLock, &code));
}

TEST_F(Failures, WithoutACodeTheCallersUsualFailureStays) {
    ASSERT_TRUE(Arm("Flip"));
    int64_t code = DDERR_SURFACELOST;
    EXPECT_TRUE(testkit::ShouldFail(winapi::Call::kFlip, &code));
    EXPECT_EQ(code, DDERR_SURFACELOST);
}

TEST_F(Failures, CodesByNameDecimalOrHexadecimal) {
    ASSERT_TRUE(Arm("SetDisplayMode=-2005532552"));
    ASSERT_TRUE(Arm("Flip=0x8876021C"));
    ASSERT_TRUE(Arm("BASS_Init=BASS_ERROR_DRIVER"));
    int64_t code = 0;
    ASSERT_TRUE(testkit::ShouldFail(winapi::Call::kSetDisplayMode, &code));
    EXPECT_EQ(code, DDERR_INVALIDMODE);
    ASSERT_TRUE(testkit::ShouldFail(winapi::Call::kFlip, &code));
    EXPECT_EQ(code, DDERR_WASSTILLDRAWING);  // the signed HRESULT, not 0x8876021C as positive
    ASSERT_TRUE(testkit::ShouldFail(winapi::Call::kBassInit, &code));
    EXPECT_EQ(code, 3);
}

TEST_F(Failures, RunsOfCallsByNumberOrByScriptTime) {
    ASSERT_TRUE(Arm("Flip@2x3"));
    ASSERT_TRUE(Arm("Lock@t5x2"));
    int64_t code = 0;
    std::string flips, locks;
    for (int call = 0; call < 6; ++call)
        flips += testkit::ShouldFail(winapi::Call::kFlip, &code) ? 'F' : '.';
    EXPECT_EQ(flips, ".FFF..");
    for (int clock : {-1, 4, 5, 5, 9, 9}) {
        testkit::SetFailureClock(clock);
        locks += testkit::ShouldFail(winapi::Call::kLock, &code) ? 'F' : '.';
    }
    EXPECT_EQ(locks, "..FF..");
    EXPECT_EQ(testkit::CountedCalls()["Lock"], 6);
}

TEST_F(Failures, BadRequestsAreRefused) {
    EXPECT_FALSE(Arm("Lok"));  // a typo must not pass silently
    EXPECT_FALSE(Arm("Lock@0"));
    EXPECT_FALSE(Arm("Lock@x"));
    EXPECT_FALSE(Arm("Lock=DDERR_NOSUCHTHING"));
    EXPECT_FALSE(Arm("Lock=12abc"));
    EXPECT_FALSE(Arm("=5"));
    EXPECT_FALSE(Arm("Lock@t-1"));
    EXPECT_FALSE(Arm("Lock@tx"));
    EXPECT_FALSE(Arm("Lock@2x0"));
    EXPECT_FALSE(Arm("Lockx2"));  // a run needs its start
    EXPECT_TRUE(Arm("BASS_StreamPlay@2"));
}

TEST_F(Failures, ProcessorCheckReportsA486) {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    EXPECT_EQ(info.dwProcessorType, DWORD(PROCESSOR_INTEL_PENTIUM));
    ASSERT_TRUE(Arm("CheckProcessor@2"));
    GetSystemInfo(&info);
    EXPECT_EQ(info.dwProcessorType, DWORD(PROCESSOR_INTEL_486));
}

TEST(Processor, CpuidAnswers) {
    int info[4] = {-1, -1, -1, -1};
    __cpuid(info, 0);
    EXPECT_GE(info[0], 1);  // highest standard function
    __cpuid(info, 1);
    EXPECT_NE(info[3] & (1 << 23), 0);  // every x86-64 processor has MMX
}

}  // namespace
