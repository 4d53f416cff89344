// Frame checksums and PNG pictures of frames.
#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "hosts/common/frame.h"

namespace {

TEST(FrameHash, FnvOneAOverLittleEndianPixelsWithoutPadding) {
    // 3 pixels in rows of 8 bytes: the last 2 bytes are padding and must not count.
    const uint16_t row[4] = {0x1234, 0xABCD, 0xF800, 0x5555};
    EXPECT_EQ(hosts::FrameHash(row, 3, 1, 8), 0xa14cec9690caf8c3ull);
    EXPECT_EQ(hosts::FrameHash(row, 0, 0, 8), 0xcbf29ce484222325ull);  // the offset basis
    const uint16_t letter = 0x0061;                                    // bytes 'a', 0
    EXPECT_EQ(hosts::FrameHash(&letter, 1, 1, 2), 0x089be207b544f1e4ull);
    std::vector<uint16_t> black(320 * 240, 0);
    EXPECT_EQ(hosts::FrameHash(black.data(), 320, 240, 640), 0x1100fdb97cd50325ull);
}

TEST(FrameHash, RowsAreTakenInOrder) {
    const uint16_t twoRows[2] = {1, 2};
    const uint16_t swapped[2] = {2, 1};
    EXPECT_NE(hosts::FrameHash(twoRows, 1, 2, 2), hosts::FrameHash(swapped, 1, 2, 2));
}

TEST(FramePng, ChannelsWidenByBitReplication) {
    EXPECT_EQ(hosts::WidenChannel(0, 5), 0);
    EXPECT_EQ(hosts::WidenChannel(31, 5), 255);
    EXPECT_EQ(hosts::WidenChannel(16, 5), 132);  // 10000 -> 10000100
    EXPECT_EQ(hosts::WidenChannel(1, 5), 8);
    EXPECT_EQ(hosts::WidenChannel(63, 6), 255);
    EXPECT_EQ(hosts::WidenChannel(32, 6), 130);  // 100000 -> 10000010
    EXPECT_EQ(hosts::WidenChannel(1, 6), 4);
    EXPECT_EQ(hosts::WidenChannel(1, 1), 255);
    EXPECT_EQ(hosts::WidenChannel(0x1FF, 9), 255);
}

TEST(FramePng, WritesEightBitRgbRowZeroFirst) {
    // 2x2, rows of 3 pixels (padding), 5-6-5: red, green / blue, a grey of 16, 32, 16.
    const uint16_t pixels[6] = {0xF800, 0x07E0, 0xFFFF, 0x001F, 0x8410, 0xFFFF};
    const std::string path = ::testing::TempDir() + "morvanite_frame_test.png";
    std::string error;
    ASSERT_TRUE(hosts::WriteFramePng(path, pixels, 2, 2, 6, 0xF800, 0x07E0, 0x001F, &error))
        << error;
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgb = stbi_load(path.c_str(), &width, &height, &channels, 0);
    ASSERT_NE(rgb, nullptr) << stbi_failure_reason();
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(channels, 3);
    const uint8_t expected[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 132, 130, 132};
    for (int i = 0; i < 12 && channels == 3; ++i) EXPECT_EQ(rgb[i], expected[i]) << i;
    stbi_image_free(rgb);
    std::filesystem::remove(path);
    EXPECT_FALSE(hosts::WriteFramePng("/nonexistent-dir/x.png", pixels, 2, 2, 6, 0xF800, 0x07E0,
                                      0x001F, &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
