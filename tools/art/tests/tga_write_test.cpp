// Encoders against the strict readers: orientation, packets, footer, icons and colour keys.
#include <gtest/gtest.h>

#include "ico_read.h"
#include "ico_write.h"
#include "quantize.h"
#include "tga_read.h"
#include "tga_write.h"

namespace art {
namespace {

// A 6x5 "F" in index 2 on index 1: no symmetry, so flips and swaps show.
Indexed LetterF() {
    Indexed p;
    p.width = 6;
    p.height = 5;
    p.palette[1] = {0, 0, 255};
    p.palette[2] = {255, 0, 0};
    const char* rows[] = {"FFFF..", "F.....", "FFF...", "F.....", "F....."};
    for (const char* r : rows)
        for (int x = 0; x < 6; ++x) p.index.push_back(r[x] == 'F' ? 2 : 1);
    return p;
}

TEST(TgaWrite, ColourMappedHeaderFooterAndOrientation) {
    const Indexed p = LetterF();
    const std::vector<uint8_t> f = EncodeTga(p);
    ASSERT_GE(f.size(), 18u + 768u + 495u + 26u);
    EXPECT_EQ(f[0], 0);  // no image ID
    EXPECT_EQ(f[1], 1);  // colour map
    EXPECT_EQ(f[2], 9);  // run-length colour-mapped
    EXPECT_EQ(f[5] | f[6] << 8, 256);
    EXPECT_EQ(f[7], 24);
    EXPECT_EQ(f[12] | f[13] << 8, 6);
    EXPECT_EQ(f[14] | f[15] << 8, 5);
    EXPECT_EQ(f[16], 8);
    EXPECT_EQ(f[17], 0);  // bottom row first
    // Palette entries are stored blue, green, red: entry 2 (red) is 00 00 FF.
    EXPECT_EQ(f[18 + 6], 0);
    EXPECT_EQ(f[18 + 8], 255);
    // The first packet holds the bottom row, "F.....": one index 2, then a run of five 1s.
    EXPECT_EQ(f[18 + 768], 0x00);
    EXPECT_EQ(f[18 + 768 + 1], 2);
    EXPECT_EQ(f[18 + 768 + 2], 0x84);
    EXPECT_EQ(f[18 + 768 + 3], 1);

    const DecodedTga t = DecodeTga(f);
    ASSERT_EQ(t.error, "");
    EXPECT_EQ(t.index, p.index);
    EXPECT_EQ(t.extensionOffset, t.dataEnd);
    EXPECT_EQ(t.developerOffset, 0u);
    EXPECT_EQ(t.extensionSize, 495);
    EXPECT_EQ(f.size(), t.dataEnd + 495 + 26);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&f[f.size() - 18])), "TRUEVISION-XFILE.");
}

TEST(TgaWrite, TrueColourStoresBlueGreenRed) {
    TrueColour p;
    p.width = 3;
    p.height = 2;
    // Top row: red, green, blue; bottom row: white, black, grey.
    p.rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128};
    const std::vector<uint8_t> f = EncodeTga(p);
    EXPECT_EQ(f[1], 0);
    EXPECT_EQ(f[2], 10);
    EXPECT_EQ(f[16], 24);
    const DecodedTga t = DecodeTga(f);
    ASSERT_EQ(t.error, "");
    EXPECT_EQ(t.rgb[0], (std::array<uint8_t, 3>{255, 0, 0}));
    EXPECT_EQ(t.rgb[5], (std::array<uint8_t, 3>{128, 128, 128}));
    // The bottom row comes first in the file: raw packet of 3, white first as FF FF FF.
    EXPECT_EQ(f[18], 0x02);
    EXPECT_EQ(f[19], 255);
    // The top row's red pixel is stored as blue, green, red.
    EXPECT_EQ(f[18 + 10], 0x02);
    EXPECT_EQ(f[18 + 11], 0);
    EXPECT_EQ(f[18 + 13], 255);
}

TEST(TgaWrite, LongRunsSplitIntoPacketsOfAtMost128AndStayInTheirRow) {
    Indexed p;
    p.width = 300;
    p.height = 2;
    p.index.assign(600, 7);
    p.index[299] = 8;  // last pixel of the top row differs
    const std::vector<uint8_t> f = EncodeTga(p);
    const DecodedTga t = DecodeTga(f);
    ASSERT_EQ(t.error, "");
    EXPECT_EQ(t.index, p.index);
    // Bottom row: 300 equal values = runs of 128, 128, 44.
    const size_t at = 18 + 768;
    EXPECT_EQ(f[at], 0xFF);
    EXPECT_EQ(f[at + 2], 0xFF);
    EXPECT_EQ(f[at + 4], 0x80 + 43);
    EXPECT_EQ(f.size(), t.dataEnd + 495 + 26);
}

TEST(TgaWrite, NoisyRowsRoundTrip) {
    TrueColour p;
    p.width = 37;
    p.height = 11;
    uint32_t s = 5;
    for (int i = 0; i < 37 * 11 * 3; ++i) {
        s = s * 1103515245u + 12345u;
        p.rgb.push_back(uint8_t((s >> 16) % 3 * 100));  // many short runs and raw stretches
    }
    const DecodedTga t = DecodeTga(EncodeTga(p));
    ASSERT_EQ(t.error, "");
    for (int i = 0; i < 37 * 11; ++i)
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(t.rgb[size_t(i)][size_t(k)], p.rgb[size_t(i) * 3 + size_t(k)]);
}

TEST(TgaRead, RejectsPacketsThatOverrunTheirPicture) {
    Indexed p = LetterF();
    std::vector<uint8_t> f = EncodeTga(p);
    f[18 + 768 + 2] = 0xFF;  // a run of 128 in a 30-pixel picture
    EXPECT_NE(DecodeTga(f).error, "");
    f = EncodeTga(p);
    f[f.size() - 1 - 2] = 'x';  // signature damaged
    EXPECT_EQ(DecodeTga(f).error, "no TGA 2.0 footer");
}

TEST(IcoWrite, TwoFourBitImagesRoundTrip) {
    std::vector<IconImage> images;
    for (int size : {16, 32}) {
        IconImage im;
        im.size = size;
        for (int i = 0; i < 16; ++i) im.palette[size_t(i)] = {uint8_t(i * 16), uint8_t(255 - i), 7};
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                im.index.push_back(uint8_t((x + 3 * y) % 16));
                im.transparent.push_back(x < y / 2 ? 1 : 0);
            }
        }
        images.push_back(im);
    }
    const std::vector<uint8_t> f = EncodeIco(images);
    std::string error;
    const std::vector<DecodedIcon> d = DecodeIco(f, error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(d.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(d[k].size, images[k].size);
        EXPECT_EQ(d[k].bits, 4);
        EXPECT_EQ(d[k].colours, 16);
        EXPECT_EQ(d[k].transparent, images[k].transparent);
        for (size_t i = 0; i < d[k].index.size(); ++i) {
            if (!images[k].transparent[i]) {
                ASSERT_EQ(d[k].index[i], images[k].index[i]);
            }
        }
        EXPECT_EQ(d[k].palette[3], images[k].palette[3]);
    }
}

TEST(Quantize, KeyStaysExactAndNothingElseShowsAsIt) {
    // Lettering colours next to the key, some of which truncate to the key's 5-6-5 value.
    Canvas c(64, 16, Hex(0x00FF00));
    for (int y = 4; y < 12; ++y) {
        for (int x = 4; x < 60; ++x) {
            c.at(x, y) = (x % 3 == 0)   ? Hex(0x07FC07)
                         : (x % 3 == 1) ? Hex(0x20E020)
                                        : Hex(0xE86A9A);
        }
    }
    QuantizeOptions options;
    options.key = Rgb8{0, 255, 0};
    const Indexed q = Quantize(c, options);
    const uint8_t key = q.index[0];
    EXPECT_EQ(q.palette[key], (std::array<uint8_t, 3>{0, 255, 0}));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            const uint8_t i = q.index[size_t(y) * 64 + x];
            const bool inside = y >= 4 && y < 12 && x >= 4 && x < 60;
            const uint16_t v = To565(Rgb8{q.palette[i][0], q.palette[i][1], q.palette[i][2]});
            if (inside)
                ASSERT_NE(v, To565(Rgb8{0, 255, 0})) << x << "," << y;
            else
                ASSERT_EQ(i, key);
        }
    }
}

TEST(Quantize, TrueColourLevelsSurviveTruncation) {
    Canvas c(16, 16);
    for (int i = 0; i < 256; ++i)
        c.px[size_t(i)] = Rgb{float(i) / 255.0f, 0.5f, 1.0f - float(i) / 255.0f};
    const TrueColour t = ToTrueColour(c, true);
    for (size_t i = 0; i < t.rgb.size(); i += 3) {
        EXPECT_EQ(t.rgb[i] % 8, 0);
        EXPECT_EQ(t.rgb[i + 1] % 4, 0);
        EXPECT_EQ(t.rgb[i + 2] % 8, 0);
    }
    // Ordered dithering keeps the average: the mean red of the ramp stays near 127.5.
    double sum = 0;
    for (size_t i = 0; i < t.rgb.size(); i += 3) sum += t.rgb[i];
    EXPECT_NEAR(sum / 256.0, 127.5, 4.0);
}

}  // namespace
}  // namespace art
