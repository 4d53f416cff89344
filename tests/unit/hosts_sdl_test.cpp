// The player's own pieces that run without a screen: where the frame goes in a window, the
// numbered pictures of F12, and the silent output of --no-sound.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "winapi/bass/bass_state.h"
#include "hosts/sdl/view.h"

namespace {

TEST(FrameView, FitsAt43OrByWholeMultiplesCentredWithBars) {
    struct Case {
        int width, height;
        bool integer;
        hosts::ViewRect expected;
    };
    const Case cases[] = {
        {320, 240, false, {0, 0, 320, 240}},
        {320, 240, true, {0, 0, 320, 240}},
        {1920, 1080, false, {240, 0, 1440, 1080}},  // bars left and right
        {1920, 1080, true, {320, 60, 1280, 960}},   // 4x, bars all round
        {1280, 1024, false, {0, 32, 1280, 960}},    // bars above and below
        {1280, 1024, true, {0, 32, 1280, 960}},     // 4x fills the width exactly
        {3840, 2160, true, {480, 0, 2880, 2160}},   // a HiDPI output in real pixels: 9x
        {2560, 1600, true, {320, 80, 1920, 1440}},  // 6x
        {959, 719, true, {159, 119, 640, 480}},     // 2x, one pixel short of 3x
        {959, 719, false, {0, 0, 958, 719}},        // rounded down, never wider than 4:3
        {1001, 100, false, {434, 0, 133, 100}},
        {200, 150, true, {0, 0, 200, 150}},  // smaller than one frame: fitted even so
        {0, 480, false, {0, 0, 0, 0}},
        {640, -1, true, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.width << "x" << c.height << " integer " << c.integer);
        hosts::ViewRect v = hosts::FrameView(c.width, c.height, c.integer);
        EXPECT_EQ(v.x, c.expected.x);
        EXPECT_EQ(v.y, c.expected.y);
        EXPECT_EQ(v.width, c.expected.width);
        EXPECT_EQ(v.height, c.expected.height);
    }
}

TEST(NextPicture, TakesTheFirstFreeNumberAndNeverReplacesAFile) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(::testing::TempDir()) / "morvanite-next-picture";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* name : {"morvanite-001.png", "morvanite-002.png", "morvanite-004.png"})
        std::ofstream(folder / name) << "kept";
    std::ofstream(folder / "other-003.png") << "kept";

    std::string error;
    std::string first = hosts::CreateNextPicture(folder.string(), "morvanite", &error);
    std::string second = hosts::CreateNextPicture(folder.string(), "morvanite", &error);
    EXPECT_EQ(first, (folder / "morvanite-003.png").string());
    EXPECT_EQ(second, (folder / "morvanite-005.png").string());
    EXPECT_EQ(fs::file_size(folder / "morvanite-004.png"), 4u);

    // Past 999 the number grows a digit.
    for (int n = 6; n <= 999; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "morvanite-%03d.png", n);
        std::ofstream(folder / name) << "";
    }
    EXPECT_EQ(hosts::CreateNextPicture(folder.string(), "morvanite", &error),
              (folder / "morvanite-1000.png").string());

    // A folder that can't be written to: no path, and the reason.
    error.clear();
    EXPECT_EQ(hosts::CreateNextPicture((folder / "missing").string(), "morvanite", &error), "");
    EXPECT_NE(error.find("missing/morvanite-001.png"), std::string::npos) << error;
    fs::remove_all(folder);
}

// --no-sound: the silent output (on the monotonic clock) even where a device would open; without
// it the same machine gets the device.
TEST(PlaySilently, ChoosesTheSilentOutputOverAnAvailableDevice) {
    BASS_Free();
    audio::IgnoreHeadlessBackendForTesting(true);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    audio::PlaySilently(true);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
    EXPECT_EQ(audio::CurrentOutput(), audio::OutputKind::kSilent);
    BASS_Free();

    audio::PlaySilently(false);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
    EXPECT_EQ(audio::CurrentOutput(), audio::OutputKind::kDevice);
    BASS_Free();

    audio::IgnoreHeadlessBackendForTesting(false);
    unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
