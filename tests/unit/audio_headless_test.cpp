// The audio library on the headless backend: its virtual clock as the play position, and the
// failures injected by name.
#include <gtest/gtest.h>

#include <bass.h>

#include <string>
#include <vector>

#include "winapi/bass/bass_state.h"
#include "hosts/headless/headless.h"
#include "testing/testing.h"
#include "tools/music/mp3_encode.h"

namespace {

class HeadlessAudio : public ::testing::Test {
  protected:
    void SetUp() override {
        BASS_Free();
        testkit::ResetPlatform();
        hosts::HeadlessOptions options;
        options.fps = 10;
        std::string error;
        ASSERT_TRUE(hosts::ConfigureHeadless(options, &error)) << error;
        mp3 = mp3enc::EncodeTone(44100);
    }
    void TearDown() override {
        BASS_Free();
        testkit::ResetPlatform();
    }
    static void Flip() {
        uint16_t pixel = 0;
        hosts::HeadlessHost().PresentFrame(&pixel, 1, 1, 2);
    }
    HSTREAM Open() {
        if (!BASS_Init(-1, 44100, 0, nullptr)) return 0;
        BASS_Start();
        return BASS_StreamCreateFile(TRUE, mp3.data(), 0, static_cast<DWORD>(mp3.size()), 0);
    }
    std::vector<uint8_t> mp3;
};

TEST_F(HeadlessAudio, PositionIsTheVirtualClockAndStopsWithTheOutput) {
    HSTREAM stream = Open();
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(audio::CurrentOutput(), audio::OutputKind::kHeadless);
    EXPECT_FALSE(audio::StreamPcm(stream).empty());  // decoded all the same
    ASSERT_TRUE(BASS_StreamPlay(stream, FALSE, 0));
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 0u);
    for (int i = 0; i < 3; ++i) Flip();
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 3u * 176400 / 10);
    // Far past the end of the one-second stream.
    for (int i = 0; i < 200; ++i) Flip();
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 203u * 176400 / 10);
    BASS_Stop();
    Flip();
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 203u * 176400 / 10);
}

TEST_F(HeadlessAudio, InjectedFailuresReportTheirCodes) {
    std::string error;
    ASSERT_TRUE(testkit::ArmFailure("BASS_GetVersion", &error)) << error;
    int before = BASS_ErrorGetCode();
    EXPECT_EQ(BASS_GetVersion(), 0x6FFFFu);
    EXPECT_EQ(BASS_ErrorGetCode(), before);  // no code given: the last one stays
    EXPECT_EQ(BASS_GetVersion(), 0x70000u);  // only the first call fails

    testkit::ResetFailures();
    ASSERT_TRUE(testkit::ArmFailure("BASS_GetVersion=7", &error)) << error;
    EXPECT_EQ(BASS_GetVersion(), 0x6FFFFu);
    EXPECT_EQ(BASS_ErrorGetCode(), 7);

    ASSERT_TRUE(testkit::ArmFailure("BASS_Init=3", &error)) << error;
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), 3);
    EXPECT_EQ(audio::CurrentOutput(), audio::OutputKind::kNone);

    ASSERT_TRUE(testkit::ArmFailure("BASS_StreamCreateFile=BASS_ERROR_MEM", &error)) << error;
    EXPECT_EQ(Open(), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_MEM);

    ASSERT_TRUE(testkit::ArmFailure("BASS_StreamPlay", &error)) << error;
    HSTREAM stream = BASS_StreamCreateFile(TRUE, mp3.data(), 0, static_cast<DWORD>(mp3.size()), 0);
    ASSERT_NE(stream, 0u);
    EXPECT_FALSE(BASS_StreamPlay(stream, FALSE, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_START);
    EXPECT_TRUE(BASS_StreamPlay(stream, FALSE, 0));
}

// The program's own music, read in place from its resource as OpenMusic reads it.
TEST_F(HeadlessAudio, TheMusicResourceDecodesToItsFullLength) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(122), "MP3FILE");
    ASSERT_NE(found, nullptr);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
    HSTREAM stream = BASS_StreamCreateFile(TRUE, LockResource(LoadResource(module, found)), 0,
                                           SizeofResource(module, found), 0);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(audio::StreamPcm(stream).size(), 5384u * 1152 * 4);  // 24,809,472 bytes
}

}  // namespace
