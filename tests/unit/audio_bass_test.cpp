// The audio library calls as the program makes them, on the silent output with a test clock, and
// the SDL disk driver's output file.
#include <gtest/gtest.h>

#include <bass.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "winapi/bass/bass_state.h"
#include "winapi/bass/play_clock.h"

#include "tools/music/mp3_encode.h"

namespace {

constexpr int64_t kSecond = 1000000000;

std::atomic<int64_t> testNow{0};
int64_t TestNow() {
    return testNow.load();
}

// Each test starts with the library freed, the output opened as the SDL program opens it, SDL
// offered no usable audio driver (so the output is the silent one whatever the machine has), and
// time standing at 1000 s until the test moves it.
class AudioLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        BASS_Free();
        audio::IgnoreHeadlessBackendForTesting(true);
        setenv("SDL_AUDIODRIVER", "morvanite-none", 1);
        testNow = 1000 * kSecond;
        audio::SetTimeSource(TestNow);
    }
    void TearDown() override {
        BASS_Free();
        audio::IgnoreHeadlessBackendForTesting(false);
        audio::SetTimeSource(nullptr);
        unsetenv("SDL_AUDIODRIVER");
    }
    static void Advance(int64_t ns) { testNow += ns; }
    static void OpenOutput() {
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
        BASS_Start();
        BASS_SetVolume(100);
    }
};

TEST_F(AudioLibrary, ReportsVersion07WhichTheProgramAccepts) {
    EXPECT_EQ(BASS_GetVersion(), 0x70000u);
    EXPECT_GE(BASS_GetVersion(), 0x70000u);
    EXPECT_LT(audio::kTooOldVersion, 0x70000u);
}

TEST_F(AudioLibrary, CallsBeforeInitFailWithTheirCode) {
    EXPECT_EQ(audio::CurrentOutput(), audio::OutputKind::kNone);
    uint8_t data[16] = {};
    EXPECT_EQ(BASS_StreamCreateFile(TRUE, data, 0, sizeof data, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_StreamPlay(1, FALSE, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(BASS_ChannelGetPosition(1), 0xFFFFFFFFu);
    EXPECT_FALSE(BASS_Start());
    EXPECT_FALSE(BASS_Stop());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST_F(AudioLibrary, InitWithoutADeviceGivesTheSilentOutput) {
    EXPECT_FALSE(BASS_Init(7, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_EQ(audio::CurrentOutput(), audio::OutputKind::kSilent);
    EXPECT_FALSE(audio::ClockFollowsDevice());
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
}

TEST_F(AudioLibrary, RefusesGarbageWithoutAHandle) {
    OpenOutput();
    std::vector<uint8_t> text(5000, 'x');
    EXPECT_EQ(BASS_StreamCreateFile(TRUE, text.data(), 0, static_cast<DWORD>(text.size()), 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_StreamCreateFile(TRUE, nullptr, 0, 100, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, (void*)"/nonexistent/music.mp3", 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_FALSE(BASS_StreamPlay(0, FALSE, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    BASS_StreamFree(0);  // the program's first call: harmless
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(AudioLibrary, StopAndFreeTwiceAreHarmless) {
    OpenOutput();
    BASS_Stop();
    BASS_Free();
    BASS_Stop();
    BASS_Free();
    EXPECT_EQ(audio::CurrentOutput(), audio::OutputKind::kNone);
    // The library can be opened again afterwards.
    EXPECT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
}

HSTREAM CreateTone(const std::vector<uint8_t>& mp3) {
    return BASS_StreamCreateFile(TRUE, const_cast<uint8_t*>(mp3.data()), 0,
                                 static_cast<DWORD>(mp3.size()), 0);
}

TEST_F(AudioLibrary, SilentClockRunsAt176400BytesPerSecondFromPlay) {
    OpenOutput();
    std::vector<uint8_t> mp3 = mp3enc::EncodeTone(44100);
    HSTREAM stream = CreateTone(mp3);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    Advance(5 * kSecond);  // loading the parts: the music hasn't started
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 0u);

    ASSERT_TRUE(BASS_StreamPlay(stream, FALSE, 0));
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 0u);
    DWORD last = 0;
    for (int ms = 1; ms <= 10000; ++ms) {
        Advance(kSecond / 1000);
        DWORD position = BASS_ChannelGetPosition(stream);
        ASSERT_GE(position, last);
        last = position;
    }
    // 10 s of a 1.04 s stream: the position goes on past its end as if silence played.
    EXPECT_EQ(last, 1764000u);
    EXPECT_GT(last, audio::StreamPcm(stream).size());
}

TEST_F(AudioLibrary, StoppedOutputHoldsThePosition) {
    OpenOutput();
    std::vector<uint8_t> mp3 = mp3enc::EncodeTone(44100);
    HSTREAM stream = CreateTone(mp3);
    ASSERT_TRUE(BASS_StreamPlay(stream, FALSE, 0));
    Advance(2 * kSecond);
    BASS_Stop();
    Advance(3 * kSecond);
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 2 * 176400u);
    EXPECT_FALSE(BASS_StreamPlay(stream, TRUE, 0));  // the output is stopped
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_START);
    BASS_Start();
    Advance(kSecond);
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 3 * 176400u);
    // Played again without a flush it goes on; with one it starts over.
    EXPECT_TRUE(BASS_StreamPlay(stream, FALSE, 0));
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 3 * 176400u);
    EXPECT_TRUE(BASS_StreamPlay(stream, TRUE, 0));
    Advance(kSecond / 2);
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 88200u);
}

TEST_F(AudioLibrary, FreedStreamsAndLibraryGiveNoPosition) {
    OpenOutput();
    std::vector<uint8_t> mp3 = mp3enc::EncodeTone(44100);
    HSTREAM first = CreateTone(mp3);
    HSTREAM second = CreateTone(mp3);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, first);
    EXPECT_EQ(audio::StreamPcm(first).size(), mp3enc::FrameCount(44100) * 4608);
    BASS_StreamFree(first);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_EQ(BASS_ChannelGetPosition(first), 0xFFFFFFFFu);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_StreamPlay(first, FALSE, 0));
    ASSERT_TRUE(BASS_StreamPlay(second, FALSE, 0));
    Advance(kSecond);
    EXPECT_EQ(BASS_ChannelGetPosition(second), 176400u);
    BASS_Stop();
    BASS_Free();
    EXPECT_EQ(BASS_ChannelGetPosition(second), 0xFFFFFFFFu);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_TRUE(audio::StreamPcm(second).empty());
}

TEST_F(AudioLibrary, StreamFromAFileMatchesTheSameStreamFromMemory) {
    OpenOutput();
    std::vector<uint8_t> mp3 = mp3enc::EncodeTone(30000);
    std::string path = ::testing::TempDir() + "audio_stream_file.mp3";
    {
        std::ofstream out(path, std::ios::binary);
        out.write("JUNK", 4);
        out.write(reinterpret_cast<const char*>(mp3.data()),
                  static_cast<std::streamsize>(mp3.size()));
    }
    HSTREAM fromMemory = CreateTone(mp3);
    HSTREAM fromFile = BASS_StreamCreateFile(FALSE, path.data(), 4, 0, 0);
    ASSERT_NE(fromFile, 0u);
    auto a = audio::StreamPcm(fromMemory);
    auto b = audio::StreamPcm(fromFile);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end()));
    std::remove(path.c_str());
}

// SDL's disk driver writes what the device plays to a file: the decoded stream, byte for byte,
// after the silence written before playback began. Its clock is monotonic time, not the file.
TEST_F(AudioLibrary, DiskDriverWritesTheDecodedStream) {
    audio::SetTimeSource(nullptr);
    std::string path = ::testing::TempDir() + "audio_disk_output.raw";
    std::remove(path.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);  // ms per buffer: about 20 times faster than playing

    std::vector<uint8_t> mp3 = mp3enc::EncodeTone(20000, 440.0, 9000);
    OpenOutput();
    ASSERT_EQ(audio::CurrentOutput(), audio::OutputKind::kDevice);
    EXPECT_FALSE(audio::ClockFollowsDevice());
    HSTREAM stream = CreateTone(mp3);
    ASSERT_NE(stream, 0u);
    std::vector<uint8_t> pcm(audio::StreamPcm(stream).begin(), audio::StreamPcm(stream).end());
    ASSERT_TRUE(BASS_StreamPlay(stream, FALSE, 0));
    // Written so far is silence; wait until the stream and a buffer of what follows are out.
    uintmax_t wanted = std::filesystem::file_size(path) + pcm.size() + 16384;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((BASS_ChannelGetPosition(stream) < pcm.size() + 17640 ||
            std::filesystem::file_size(path) < wanted) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    BASS_Stop();
    BASS_Free();
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");

    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> written((std::istreambuf_iterator<char>(in)), {});
    std::remove(path.c_str());
    auto found = std::search(written.begin(), written.end(), pcm.begin(), pcm.end());
    ASSERT_NE(found, written.end()) << "the stream is not in the output file";
    size_t start = static_cast<size_t>(found - written.begin());
    EXPECT_EQ(start % 4, 0u);
    for (size_t i = 0; i < start; ++i) ASSERT_EQ(written[i], 0) << "before the stream, silence";
    for (size_t i = start + pcm.size(); i < written.size(); ++i) {
        ASSERT_EQ(written[i], 0) << "after the stream's end, silence";
    }
}

// With the position taken from the device's callbacks, a piece shorter than the show still
// gives a position that goes on past its end, never backwards, at the device's pace.
TEST_F(AudioLibrary, DeviceClockGoesOnPastTheEndOfAShortPiece) {
    audio::SetTimeSource(nullptr);
    std::string path = ::testing::TempDir() + "audio_device_clock.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);  // a buffer of 46 ms every 2 ms
    audio::FollowDeviceCallbacksForTesting(true);
    OpenOutput();
    audio::FollowDeviceCallbacksForTesting(false);
    ASSERT_TRUE(audio::ClockFollowsDevice());

    std::vector<uint8_t> mp3 = mp3enc::EncodeTone(10000);
    HSTREAM stream = CreateTone(mp3);
    ASSERT_NE(stream, 0u);
    const uint64_t length = audio::StreamPcm(stream).size();
    ASSERT_TRUE(BASS_StreamPlay(stream, FALSE, 0));
    DWORD last = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (last < length + 5 * 176400u && std::chrono::steady_clock::now() < deadline) {
        DWORD position = BASS_ChannelGetPosition(stream);
        ASSERT_GE(position, last);
        last = position;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(last, length + 5 * 176400u);
    BASS_Stop();
    DWORD stopped = BASS_ChannelGetPosition(stream);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(BASS_ChannelGetPosition(stream), stopped);
    BASS_Free();
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
    std::remove(path.c_str());
}

}  // namespace
