// The program's own pictures: every TGAFILE resource loads with its listed size and kind, and its
// packets fill the picture exactly up to the end of the pixel data.
#include <gtest/gtest.h>

#include "image/tga.h"
#include "image/tga_layout.h"
#include "winapi/kernel32/resources.h"
#include "testing/testing.h"

namespace {

struct Picture {
    int id;
    int width;
    int height;
    int type;  // 9: colour-mapped 8-bit, 10: true colour 24-bit
};

const Picture kPictures[] = {
    {102, 320, 240, 9}, {104, 320, 240, 10}, {105, 320, 240, 9},  {107, 92, 150, 9},
    {109, 256, 256, 9}, {112, 320, 240, 10}, {113, 320, 1680, 9}, {115, 32, 32, 10},
    {116, 32, 32, 10},  {117, 32, 32, 10},   {123, 256, 256, 9},  {124, 320, 240, 9},
    {128, 256, 256, 9}, {131, 256, 25, 9},   {132, 172, 24, 9},   {133, 264, 24, 9},
    {134, 200, 154, 9}, {136, 320, 240, 9},  {138, 160, 18, 9},   {139, 100, 24, 9},
    {147, 320, 240, 9},
};

// Pixels the packets of [data, end) yield, or -1 when a packet runs past the end.
int64_t PacketPixels(const uint8_t* data, const uint8_t* end, size_t pixelBytes) {
    int64_t pixels = 0;
    while (data < end) {
        const uint8_t header = *data++;
        const size_t count = (header & 127u) + 1;
        data += header >= 128 ? pixelBytes : count * pixelBytes;
        pixels += static_cast<int64_t>(count);
    }
    return data == end ? pixels : -1;
}

TEST(TgaResources, EveryPictureLoadsWithItsSizeAndKind) {
    testkit::ResetPlatform();
    for (const Picture& p : kPictures) {
        uint32_t size = 0;
        const uint8_t* bytes = winapi::FindResourceBytes("TGAFILE", p.id, &size);
        ASSERT_NE(bytes, nullptr) << p.id;
        TgaLayout layout;
        ASSERT_TRUE(ReadTgaLayout(bytes, size, &layout)) << p.id;
        // The extension area offset marks the end of the pixel data; no developer directory.
        const uint8_t* footer = bytes + layout.footerStart;
        EXPECT_NE(footer[0] | footer[1] << 8 | footer[2] << 16 | footer[3] << 24, 0) << p.id;
        EXPECT_EQ(footer[4] | footer[5] << 8 | footer[6] << 16 | footer[7] << 24, 0) << p.id;
        EXPECT_EQ(bytes[0], 0) << p.id << ": no image ID";
        EXPECT_EQ(bytes[17], 0) << p.id << ": descriptor 0, bottom row first";

        TgaImage picture;
        ASSERT_TRUE(picture.LoadResource(p.id)) << p.id;
        EXPECT_EQ(picture.width, p.width) << p.id;
        EXPECT_EQ(picture.height, p.height) << p.id;
        EXPECT_EQ(picture.imageType, p.type) << p.id;
        EXPECT_EQ(picture.bitsPerPixel, p.type == 9 ? 8 : 24) << p.id;
        if (p.type == 9) {
            EXPECT_EQ(picture.colourMapLength, 256) << p.id;
            EXPECT_EQ(picture.colourMapEntrySize, 24) << p.id;
            EXPECT_EQ(layout.colourMapBytes, 768u) << p.id;
            EXPECT_EQ(layout.dataBytes, int64_t{layout.dataEnd} - 768 - 18) << p.id;
        } else {
            EXPECT_EQ(picture.palette, nullptr) << p.id;
            EXPECT_EQ(layout.dataBytes, int64_t{layout.dataEnd} - 18) << p.id;
        }
        EXPECT_EQ(PacketPixels(bytes + layout.dataStart, bytes + layout.dataEnd,
                               static_cast<size_t>(picture.bitsPerPixel / 8)),
                  int64_t{p.width} * p.height)
            << p.id << ": packets end at E with exactly width x height pixels";
    }
}

}  // namespace
