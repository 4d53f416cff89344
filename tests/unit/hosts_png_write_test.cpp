// The PNG writer: pictures read back with stb_image, and what a failed write leaves behind.
#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hosts/common/png_write.h"

namespace {

namespace fs = std::filesystem;

// A 6x5 "F" in red on blue, with no symmetry to hide a flip, a transposition or swapped
// channels.
constexpr int kWidth = 6, kHeight = 5;
// clang-format off
constexpr const char* kLetter[kHeight] = {
    ".####.",
    ".#....",
    ".###..",
    ".#....",
    ".#....",
};
// clang-format on

TEST(PngWrite, RgbAndRgbaReadBackPixelForPixel) {
    for (const int channels : {3, 4}) {
        SCOPED_TRACE(channels);
        // Rows padded by 5 bytes that must not be written; alpha differs in every pixel.
        const int stride = kWidth * channels + 5;
        std::vector<uint8_t> rows(size_t(stride) * kHeight, 0xEE);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* p = &rows[size_t(y) * stride + size_t(x) * channels];
                const bool ink = kLetter[y][x] == '#';
                p[0] = ink ? 255 : 0;
                p[1] = 0;
                p[2] = ink ? 0 : 255;
                if (channels == 4) p[3] = uint8_t(10 + y * kWidth + x);
            }
        }
        const std::string path =
            ::testing::TempDir() + "morvanite_png_write_" + std::to_string(channels) + ".png";
        std::string error;
        ASSERT_TRUE(hosts::WritePng(path, {rows.data(), kWidth, kHeight, channels, stride}, &error))
            << error;
        EXPECT_FALSE(fs::exists(path + ".partial"));

        int width = 0, height = 0, stored = 0;
        stbi_uc* read = stbi_load(path.c_str(), &width, &height, &stored, 0);
        ASSERT_NE(read, nullptr) << stbi_failure_reason();
        EXPECT_EQ(width, kWidth);
        EXPECT_EQ(height, kHeight);
        EXPECT_EQ(stored, channels);
        for (int y = 0; y < kHeight && stored == channels; ++y)
            for (int x = 0; x < kWidth; ++x)
                for (int c = 0; c < channels; ++c)
                    EXPECT_EQ(read[(y * kWidth + x) * channels + c],
                              rows[size_t(y) * stride + size_t(x) * channels + c])
                        << "x " << x << " y " << y << " channel " << c;
        stbi_image_free(read);
        fs::remove(path);
    }
}

TEST(PngWrite, FailureReportsAndLeavesNoFile) {
    const fs::path folder = fs::path(::testing::TempDir()) / "morvanite-png-write-failures";
    fs::remove_all(folder);
    fs::create_directories(folder / "a-folder");
    const uint8_t pixel[3] = {1, 2, 3};
    struct Case {
        const char* what;
        fs::path path;
        hosts::PngPixels pixels;
    };
    const Case cases[] = {
        {"a folder that does not exist", folder / "missing" / "x.png", {pixel, 1, 1, 3, 3}},
        {"a folder in the way", folder / "a-folder", {pixel, 1, 1, 3, 3}},
        {"no pixels", folder / "empty.png", {pixel, 0, 1, 3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(hosts::WritePng(c.path.string(), c.pixels, &error));
        EXPECT_NE(error.find(c.path.string()), std::string::npos) << error;
        std::vector<fs::path> left;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
            left.push_back(entry.path());
        EXPECT_EQ(left, std::vector<fs::path>{folder / "a-folder"});
    }
    fs::remove_all(folder);
}

}  // namespace
