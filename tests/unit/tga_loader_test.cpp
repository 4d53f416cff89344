// The TGA loader: header, footer, colour map, the end of the pixel data, raw and run-length
// decoding, the load pattern, and files that lie about themselves.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <tuple>
#include <string>
#include <vector>

#include "image/tga.h"
#include "testing/testing.h"
#include "tests/unit/tga_files.h"
#include "image/pixel_layout.h"

namespace {

using tga_files::Bytes;
using tga_files::EncodeRle;
using tga_files::FPixels;
using tga_files::kFHeight;
using tga_files::kFWidth;
using tga_files::TgaFile;

const Bytes kRed24 = {0x00, 0x00, 0xFF};   // blue, green, red
const Bytes kBlue24 = {0xFF, 0x00, 0x00};  // blue, green, red

Bytes Pixels(const Image& image) {
    if (image.pixels == nullptr) return {};
    return Bytes(image.pixels,
                 image.pixels + static_cast<size_t>(image.bytesPerRow) * image.height);
}

// An RLE true-colour F, bottom row stored first, as the program's pictures are.
TgaFile RleF(uint8_t bitsPerPixel, const Bytes& ink, const Bytes& ground) {
    TgaFile f;
    f.imageType = 10;
    f.width = kFWidth;
    f.height = kFHeight;
    f.bitsPerPixel = bitsPerPixel;
    f.data = EncodeRle(FPixels(ink, ground, true), bitsPerPixel / 8);
    return f;
}

// A colour-mapped RLE F: index 1 red, index 2 blue, 256 entries of 24 bits.
TgaFile MappedF() {
    TgaFile f;
    f.colourMapType = 1;
    f.imageType = 9;
    f.colourMapLength = 256;
    f.colourMapEntrySize = 24;
    f.width = kFWidth;
    f.height = kFHeight;
    f.bitsPerPixel = 8;
    f.colourMap.assign(768, 0);
    for (int i = 0; i < 256; ++i) f.colourMap[3 * i] = static_cast<uint8_t>(255 - i);
    f.colourMap[3] = 0x00, f.colourMap[4] = 0x00, f.colourMap[5] = 0xFF;  // 1: red
    f.colourMap[6] = 0xFF, f.colourMap[7] = 0x00, f.colourMap[8] = 0x00;  // 2: blue
    f.data = EncodeRle(FPixels({1}, {2}, true), 1);
    return f;
}

bool Load(TgaImage& image, const Bytes& file) {
    return image.LoadMemory(file.data(), static_cast<uint32_t>(file.size()));
}

class TgaLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testkit::ResetPlatform();
        saved_ = PixelLayout;
        PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
        total_ = imageMemoryTotal;
    }
    void TearDown() override {
        PixelLayout = saved_;
        testkit::CaptureTrace(false);
        EXPECT_EQ(imageMemoryTotal, total_) << "pixel memory left counted";
    }
    PixelLayoutFields saved_;
    int32_t total_ = 0;
};

TEST_F(TgaLoaderTest, RawTrueColourKeepsItsStoredRowOrder) {
    TgaFile f;
    f.imageType = 2;
    f.width = kFWidth;
    f.height = kFHeight;
    f.xOrigin = -3;
    f.yOrigin = 300;
    f.colourMapStart = 7;
    f.data = FPixels(kRed24, kBlue24, true);
    TgaImage image;
    ASSERT_TRUE(Load(image, f.Build()));
    EXPECT_EQ(image.width, kFWidth);
    EXPECT_EQ(image.height, kFHeight);
    EXPECT_EQ(image.bitsPerPixel, 24);
    EXPECT_EQ(image.bytesPerRow, kFWidth * 3);
    EXPECT_EQ(image.imageType, 2);
    EXPECT_EQ(image.xOrigin, -3);
    EXPECT_EQ(image.yOrigin, 300);
    EXPECT_EQ(image.colourMapStart, 7);
    EXPECT_EQ(image.palette, nullptr);
    // Bottom row stored first stays first: no flip for uncompressed pictures.
    EXPECT_EQ(Pixels(image), f.data);
}

TEST_F(TgaLoaderTest, RunLengthPicturesOfEveryDepthComeOutTopRowFirst) {
    const struct {
        uint8_t bits;
        Bytes ink, ground;
    } depths[] = {{8, {0x11}, {0xEE}},
                  {16, {0x00, 0x7C}, {0x1F, 0x00}},
                  {24, kRed24, kBlue24},
                  {32, {0x00, 0x00, 0xFF, 0x80}, {0xFF, 0x00, 0x00, 0x40}}};
    for (const auto& d : depths) {
        TgaFile f = RleF(d.bits, d.ink, d.ground);
        if (d.bits == 8) f.imageType = 11;
        TgaImage image;
        ASSERT_TRUE(Load(image, f.Build())) << int{d.bits};
        EXPECT_EQ(Pixels(image), FPixels(d.ink, d.ground, false)) << int{d.bits};
    }
}

TEST_F(TgaLoaderTest, ColourMapIsCopiedAsStoredAndIndicesDecoded) {
    const TgaFile f = MappedF();
    TgaImage image;
    ASSERT_TRUE(Load(image, f.Build()));
    EXPECT_EQ(image.colourMapType, 1);
    EXPECT_EQ(image.colourMapLength, 256);
    EXPECT_EQ(image.colourMapEntrySize, 24);
    ASSERT_NE(image.palette, nullptr);
    EXPECT_EQ(Bytes(image.palette, image.palette + 768), f.colourMap);
    EXPECT_EQ(Pixels(image), FPixels({1}, {2}, false));
}

// Eight pixels in two halves of four; the end of the pixel data decides how many are decoded:
// the picture may yield fewer pixels than width x height, the rest staying zero.
struct EndCase {
    const char* what;
    int extension;  // 0 none, 1 after the first half, 2 after both halves
    int developer;
    int decoded;  // pixels decoded
};

TEST_F(TgaLoaderTest, PixelDataEndsAtFooterExtensionOrDeveloperOffset) {
    const Bytes first = {0x83, 0x05};                     // run of 4 x 5
    const Bytes second = {0x01, 0x06, 0x07, 0x81, 0x08};  // raw 6 7, run of 2 x 8
    const EndCase cases[] = {
        {"no offsets: the footer", 0, 0, 8},
        {"extension offset", 1, 0, 4},
        {"developer offset", 0, 1, 4},
        {"developer wins over a later extension area", 2, 1, 4},
        {"developer wins when the extension area comes first", 1, 2, 8},
    };
    for (const EndCase& c : cases) {
        for (size_t idLength : {0, 9}) {
            TgaFile f;
            f.imageType = 11;
            f.width = 8;
            f.height = 1;
            f.bitsPerPixel = 8;
            f.id.assign(idLength, 0xAB);
            f.data = first;
            const uint32_t half = f.DataEnd();
            f.data.insert(f.data.end(), second.begin(), second.end());
            const uint32_t whole = f.DataEnd();
            auto offset = [&](int which) { return which == 0 ? 0u : which == 1 ? half : whole; };
            f.extensionOffset = offset(c.extension);
            f.developerOffset = offset(c.developer);
            if (c.extension || c.developer) f.afterData.assign(40, 0x7F);  // never pixel data
            TgaImage image;
            ASSERT_TRUE(Load(image, f.Build())) << c.what << ", id " << idLength;
            const Bytes want =
                c.decoded == 8 ? Bytes{5, 5, 5, 5, 6, 7, 8, 8} : Bytes{5, 5, 5, 5, 0, 0, 0, 0};
            EXPECT_EQ(Pixels(image), want) << c.what << ", id " << idLength;
        }
    }
}

TEST_F(TgaLoaderTest, LongestPacketsWriteAndCopy128Values) {
    TgaFile f;
    f.imageType = 11;
    f.width = 128;
    f.height = 2;
    f.bitsPerPixel = 8;
    f.data = {0xFF, 0x42, 0x7F};  // bottom row: one run; top row: one raw packet of 0..127
    for (int i = 0; i < 128; ++i) f.data.push_back(static_cast<uint8_t>(i));
    TgaImage image;
    ASSERT_TRUE(Load(image, f.Build()));
    for (int x = 0; x < 128; ++x) {
        EXPECT_EQ(image.pixels[x], x);
        EXPECT_EQ(image.pixels[128 + x], 0x42);
    }
}

TEST_F(TgaLoaderTest, RunLengthDepthsOtherThanWholeBytesLoadAsZeros) {
    TgaFile f;
    f.imageType = 10;
    f.width = 4;
    f.height = 3;
    f.bitsPerPixel = 15;
    f.data = {0x8B, 0xFF, 0x7F};
    TgaImage image;
    ASSERT_TRUE(Load(image, f.Build()));
    EXPECT_EQ(Pixels(image), Bytes(4 * 15 / 8 * 3, 0));
}

TEST_F(TgaLoaderTest, MissingResourceAndMissingFooterLeaveNoMemory) {
    testkit::CaptureTrace(true);
    TgaImage missing;
    EXPECT_FALSE(missing.LoadResource(4321));
    EXPECT_EQ(missing.pixels, nullptr);
    EXPECT_EQ(missing.palette, nullptr);
    EXPECT_EQ(missing.width, 0);
    EXPECT_EQ(testkit::TraceLines(),
              std::vector<std::string>{"Uops Puntero Recursos a NULL ;-) .... ERROR!"});

    for (int damage = 0; damage < 4; ++damage) {
        Bytes file = MappedF().Build();
        const size_t sig = file.size() - 18;
        if (damage == 0) file[sig] = 't';               // wrong letter
        if (damage == 1) file[sig + 17] = '!';          // no terminating zero
        if (damage == 2) file.resize(file.size() - 1);  // cut short
        if (damage == 3)
            file = [] {
                TgaFile f = MappedF();
                f.footer = false;
                return f.Build();
            }();
        TgaImage image;
        EXPECT_FALSE(Load(image, file)) << damage;
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_EQ(image.palette, nullptr);
        EXPECT_EQ(image.width, kFWidth) << "the header stays stored";
        EXPECT_EQ(image.height, kFHeight);
    }
}

TEST_F(TgaLoaderTest, LoadPatternGivesA16BitPictureAndTracesItsMemory) {
    const Bytes file = MappedF().Build();
    winapi::RegisterResource("TGAFILE", 150, file.data(), file.size());
    testkit::CaptureTrace(true);
    const int32_t before = imageMemoryTotal;
    Image* picture = LoadTgaAs16(150);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(imageMemoryTotal, before + kFWidth * kFHeight * 2);
    ASSERT_EQ(picture->bitsPerPixel, 16);
    ASSERT_EQ(picture->width, kFWidth);
    ASSERT_EQ(picture->height, kFHeight);
    for (int y = 0; y < kFHeight; ++y) {
        for (int x = 0; x < kFWidth; ++x) {
            const uint16_t p =
                static_cast<uint16_t>(picture->pixels[2 * (y * kFWidth + x)] |
                                      picture->pixels[2 * (y * kFWidth + x) + 1] << 8);
            EXPECT_EQ(p, tga_files::FInk(x, y) ? 0xF800 : 0x001F) << x << "," << y;
        }
    }
    char reserved1[80], reserved2[80], released[80];
    std::snprintf(reserved1, sizeof reserved1,
                  "Memoria reservada en bytes ................ +%8d  TOTAL:%8d", 35, before + 35);
    std::snprintf(reserved2, sizeof reserved2,
                  "Memoria reservada en bytes ................ +%8d  TOTAL:%8d", 70, before + 105);
    std::snprintf(released, sizeof released,
                  "Memoria liberada en bytes ................. -%8d  TOTAL:%8d", 35, before + 70);
    const std::vector<std::string> want = {
        "Abierto archivo TGA de Recursos ..... OK",
        "Resolución de la imagen .....................    5x   7x 8",
        reserved1,
        "Cerrado el recurso .................. OK",
        reserved2,
        released,
    };
    EXPECT_EQ(testkit::TraceLines(), want);
    delete picture;

    // A missing picture still gives an image, of the size stored (none): nothing converted.
    Image* none = LoadTgaAs16(151);
    EXPECT_EQ(none->width, 0);
    EXPECT_EQ(none->pixels, nullptr);
    delete none;
}

TEST_F(TgaLoaderTest, ShortColourMapsAreReadAsZerosBeyondTheirEntries) {
    TgaFile f = MappedF();
    f.colourMapLength = 2;
    f.colourMap = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};  // 0: red, 1: blue
    f.data = EncodeRle(FPixels({0}, {200}, true), 1);    // the ground past the map
    const Bytes file = f.Build();
    winapi::RegisterResource("TGAFILE", 150, file.data(), file.size());
    Image* picture = LoadTgaAs16(150);
    for (int y = 0; y < kFHeight; ++y) {
        for (int x = 0; x < kFWidth; ++x) {
            const uint8_t* p = picture->pixels + 2 * (y * kFWidth + x);
            EXPECT_EQ(p[0] | p[1] << 8, tga_files::FInk(x, y) ? 0xF800 : 0x0000);
        }
    }
    delete picture;
}

// Files that lie about themselves: each is refused, reads nothing outside its bytes, writes
// nothing outside the pixel memory, and leaves no pixel memory behind.
TEST_F(TgaLoaderTest, MalformedFilesAreRefusedCleanly) {
    std::vector<std::pair<std::string, Bytes>> files;
    auto add = [&files](const std::string& what, const TgaFile& f) {
        files.emplace_back(what, f.Build());
    };
    files.emplace_back("empty", Bytes{});
    files.emplace_back("header cut short", Bytes(17, 0));
    files.emplace_back("header without room for the footer", Bytes(25, 0));
    {
        TgaFile f = MappedF();
        f.colourMapLength = 65535;
        add("colour map running past the end", f);
        f.colourMapLength = 256;
        f.colourMapEntrySize = 255;
        add("colour map entries too wide for the file", f);
    }
    {
        TgaFile f = RleF(24, kRed24, kBlue24);
        f.extensionOffset = 0xFFFFFFFF;
        add("extension offset past the end", f);
        f.extensionOffset = 0;
        f.developerOffset = 5;
        add("developer offset inside the header", f);
        f.developerOffset = f.DataEnd() + 1;
        add("developer offset inside the footer", f);
        f.developerOffset = 18;
        add("no pixel data at all", f);
    }
    for (auto [w, h, bits] : {std::tuple{0, 7, 24},
                              {5, 0, 24},
                              {5, 7, 0},
                              {65535, 65535, 32},
                              {65535, 65535, 8},
                              {32768, 16384, 32}}) {
        TgaFile f = RleF(24, kRed24, kBlue24);
        f.width = static_cast<uint16_t>(w);
        f.height = static_cast<uint16_t>(h);
        f.bitsPerPixel = static_cast<uint8_t>(bits);
        add("size " + std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(bits), f);
        f.imageType = 2;
        add("raw size " + std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(bits),
            f);
    }
    {
        TgaFile f = RleF(24, kRed24, kBlue24);
        f.data.pop_back();
        add("last packet running past the pixel data", f);
        f = RleF(24, kRed24, kBlue24);
        f.data.push_back(0x00);
        add("a packet header after the picture is full", f);
        f = RleF(24, kRed24, kBlue24);
        f.data.insert(f.data.end(), {0x80, 1, 2, 3});
        add("a run past width x height", f);
        f = RleF(24, kRed24, kBlue24);
        f.data = {0xFF, 1, 2, 3};
        add("one run of 128 into 35 pixels", f);
        f.data = {0x7F};
        f.data.resize(1 + 128 * 3, 9);
        add("one raw packet of 128 into 35 pixels", f);
        f = RleF(24, kRed24, kBlue24);
        f.data.resize(1);
        add("a raw packet header and no values", f);
    }
    {
        TgaFile f;
        f.imageType = 2;
        f.width = kFWidth;
        f.height = kFHeight;
        f.data = FPixels(kRed24, kBlue24, true);
        f.data.resize(f.data.size() - 1);
        add("raw pixels one byte short", f);
        f.data.clear();
        add("raw picture without pixels", f);
    }
    for (const auto& [what, file] : files) {
        // A private copy of exactly the file's size, so that any read past it is caught.
        std::vector<uint8_t> exact(file.begin(), file.end());
        TgaImage image;
        const bool loaded = image.LoadMemory(exact.empty() ? nullptr : exact.data(),
                                             static_cast<uint32_t>(exact.size()));
        EXPECT_FALSE(loaded) << what;
        EXPECT_EQ(image.pixels, nullptr) << what;
    }
}

// Damaged copies of good files: whatever the bytes, the loader and the load pattern stay inside
// their memory (the sanitizer builds check that), and a loaded picture has its pixel memory.
TEST_F(TgaLoaderTest, DamagedFilesNeverBreakTheLoader) {
    TgaFile raw;
    raw.width = kFWidth;
    raw.height = kFHeight;
    raw.data = FPixels(kRed24, kBlue24, true);
    TgaFile mappedWithId = MappedF();
    mappedWithId.id = {1, 2, 3};
    mappedWithId.extensionOffset = mappedWithId.DataEnd();
    mappedWithId.afterData.assign(20, 0xCC);
    const Bytes originals[] = {MappedF().Build(), mappedWithId.Build(), raw.Build(),
                               RleF(24, kRed24, kBlue24).Build(),
                               RleF(32, {1, 2, 3, 4}, {5, 6, 7, 8}).Build()};
    std::mt19937 rng(2026);
    int loaded = 0;
    for (const Bytes& original : originals) {
        for (int round = 0; round < 400; ++round) {
            Bytes file = original;
            const int changes = 1 + static_cast<int>(rng() % 4);
            for (int c = 0; c < changes; ++c) {
                // Mostly the header and the packets, sometimes the footer's offsets.
                const size_t at = rng() % 3 ? rng() % std::min<size_t>(file.size(), 40)
                                            : file.size() - 26 + rng() % 8;
                file[at] = static_cast<uint8_t>(rng());
            }
            if (round % 10 == 0) file.resize(rng() % file.size());
            TgaImage image;
            if (image.LoadMemory(file.data(), static_cast<uint32_t>(file.size()))) {
                ++loaded;
                EXPECT_NE(image.pixels, nullptr);
                if (image.width * image.height <= 1 << 20) {
                    Image converted(image.width, image.height, 16);
                    converted.ConvertFrom(image, image.palette);
                }
            }
        }
    }
    EXPECT_GT(loaded, 0) << "some damage leaves a loadable picture";
}

}  // namespace
