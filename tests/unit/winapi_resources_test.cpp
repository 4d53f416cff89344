// Resources: the compiled-in list, resources registered at run time, and window icons.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "testing/testing.h"

namespace {

class Resources : public ::testing::Test {
  protected:
    void SetUp() override { testkit::ResetPlatform(); }
    void TearDown() override { testkit::ResetPlatform(); }
};

TEST_F(Resources, RegisteredBytesAreFoundThroughFindResource) {
    const uint8_t bytes[] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 16, 0};
    winapi::RegisterResource("TGAFILE", 900, bytes, sizeof bytes);
    HMODULE module = GetModuleHandleA(nullptr);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(900), "TGAFILE");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SizeofResource(module, found), sizeof bytes);
    const void* data = LockResource(LoadResource(module, found));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::memcmp(data, bytes, sizeof bytes), 0);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(900), "tgafile"), nullptr);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(901), "TGAFILE"), nullptr);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(900), "MP3FILE"), nullptr);
}

TEST_F(Resources, MissingResourcesAreNullAllTheWay) {
    HRSRC missing = FindResourceA(nullptr, MAKEINTRESOURCEA(9999), "TGAFILE");
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(LoadResource(nullptr, missing), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, missing), 0u);
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST_F(Resources, ReRegisteringReplacesTheBytes) {
    const uint8_t first[] = {1, 2, 3};
    const uint8_t second[] = {9, 8};
    winapi::RegisterResource("TGAFILE", 902, first, sizeof first);
    winapi::RegisterResource("TGAFILE", 902, second, sizeof second);
    uint32_t size = 0;
    const uint8_t* data = winapi::FindResourceBytes("TGAFILE", 902, &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(data[0], 9);
}

// Every file of resources.list that exists is in the program, byte for byte.
TEST_F(Resources, EverythingListedAndPresentIsCompiledIn) {
    const std::string folder = MORVANITE_SOURCE_DIR "/resources/";
    std::ifstream list(folder + "resources.list");
    ASSERT_TRUE(list.good());
    std::string line;
    int rows = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string type, file;
        int id = 0;
        ASSERT_TRUE(fields >> type >> id >> file) << line;
        ++rows;
        std::ifstream source(folder + file, std::ios::binary);
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type.c_str());
        if (!source.good()) {
            EXPECT_EQ(found, nullptr) << line;
            continue;
        }
        std::vector<char> bytes((std::istreambuf_iterator<char>(source)), {});
        ASSERT_NE(found, nullptr) << line;
        ASSERT_EQ(SizeofResource(nullptr, found), bytes.size()) << line;
        EXPECT_EQ(
            std::memcmp(LockResource(LoadResource(nullptr, found)), bytes.data(), bytes.size()), 0)
            << line;
    }
    EXPECT_GT(rows, 20);
}

// An .ico file with one 3x2 image at 4 bits: palette, bottom-up rows, an AND mask.
std::vector<uint8_t> SmallIcon() {
    std::vector<uint8_t> ico = {0, 0, 1,  0, 1, 0,  // directory: one image
                                3, 2, 16, 0, 1, 0, 4, 0};
    const uint32_t bitmapSize = 40 + 16 * 4 + 2 * 4 + 2 * 4;
    for (uint32_t value : {bitmapSize, 22u}) {
        for (int i = 0; i < 4; ++i) ico.push_back((uint8_t)(value >> (8 * i)));
    }
    const uint8_t header[40] = {40, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 1, 0, 4, 0};
    ico.insert(ico.end(), header, header + 40);
    for (int i = 0; i < 16; ++i) {
        // Entry i: blue i, green 16 * i, red 255 - i.
        ico.insert(ico.end(), {(uint8_t)i, (uint8_t)(16 * i), (uint8_t)(255 - i), 0});
    }
    // Bottom row first: bottom row holds indices 4, 5, 6; top row 1, 2, 3.
    ico.insert(ico.end(), {0x45, 0x60, 0, 0, 0x12, 0x30, 0, 0});
    // AND mask, bottom row first: the top row's middle pixel is transparent.
    ico.insert(ico.end(), {0x00, 0, 0, 0, 0x40, 0, 0, 0});
    return ico;
}

TEST(Icons, FourBitImageWithMask) {
    std::vector<uint8_t> ico = SmallIcon();
    winapi::IconImage image;
    ASSERT_TRUE(winapi::DecodeIcon(ico.data(), ico.size(), 32, &image));
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    const int indices[6] = {1, 2, 3, 4, 5, 6};
    for (int p = 0; p < 6; ++p) {
        int i = indices[p];
        EXPECT_EQ(image.rgba[p * 4 + 0], 255 - i) << p;
        EXPECT_EQ(image.rgba[p * 4 + 1], 16 * i) << p;
        EXPECT_EQ(image.rgba[p * 4 + 2], i) << p;
        EXPECT_EQ(image.rgba[p * 4 + 3], p == 1 ? 0 : 255) << p;
    }
    EXPECT_FALSE(winapi::DecodeIcon(ico.data(), 30, 32, &image));  // cut short
}

TEST_F(Resources, LoadIconFindsIconResources) {
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(777)), nullptr);
    std::vector<uint8_t> ico = SmallIcon();
    winapi::RegisterResource("ICON", 777, ico.data(), ico.size());
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(777));
    ASSERT_NE(icon, nullptr);
    uint32_t size = 0;
    EXPECT_NE(winapi::IconBytes(icon, &size), nullptr);
    EXPECT_EQ(size, ico.size());
}

}  // namespace

namespace {

// The program's own icon, when it is there: a 32x32 image for the window.
TEST(Icons, TheProgramIconDecodes) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(151));
    if (icon == nullptr) GTEST_SKIP() << "no icon resource yet";
    uint32_t size = 0;
    const uint8_t* bytes = winapi::IconBytes(icon, &size);
    ASSERT_NE(bytes, nullptr);
    winapi::IconImage image;
    ASSERT_TRUE(winapi::DecodeIcon(bytes, size, 32, &image));
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.height, 32);
    ASSERT_TRUE(winapi::DecodeIcon(bytes, size, 16, &image));
    EXPECT_EQ(image.width, 16);
    int opaque = 0;
    for (size_t i = 3; i < image.rgba.size(); i += 4) opaque += image.rgba[i] == 255;
    EXPECT_GT(opaque, 0);
}

}  // namespace
