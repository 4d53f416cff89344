// The effects' shared picture loading, sprite keys and back-buffer copy on the headless display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "part_show_support.h"
#include "parts/back_buffer.h"
#include "parts/pictures.h"

namespace {

using namespace show_support;

// A 5x3 picture with no symmetry: red top-left, blue top-right, green below.
Bgr AsymmetricPixel(int x, int y) {
    if (y == 0) return x == 0 ? Bgr{0, 0, 255} : x == 4 ? Bgr{255, 0, 0} : Bgr{40, 80, 120};
    return Bgr{0, static_cast<uint8_t>(60 * y), 0};
}

std::vector<uint16_t> ExpectedAsymmetric() {
    std::vector<uint16_t> pixels;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) pixels.push_back(To565(AsymmetricPixel(x, y)));
    return pixels;
}

TEST(PartPictures, LoadThroughTheLoaderAndKeyOnTheFirstPixel) {
    HeadlessShow show;
    Register(160, Tga24(5, 3, AsymmetricPixel));

    TgaImage* loader = nullptr;
    Image* picture = pictures::Load(loader, 160);
    EXPECT_EQ(loader, nullptr);
    ASSERT_EQ(picture->bitsPerPixel, 16);
    ASSERT_EQ(picture->width, 5);
    ASSERT_EQ(picture->height, 3);
    EXPECT_EQ(Pixels(*picture), ExpectedAsymmetric());
    EXPECT_EQ(pictures::FirstPixel(picture), 0xF800);

    Image same(5, 3, 16), other(3, 5, 16);
    pictures::LoadInto(loader, 160, same);
    EXPECT_EQ(loader, nullptr);
    EXPECT_EQ(Pixels(same), ExpectedAsymmetric());
    pictures::LoadInto(loader, 160, other);  // sizes differ: nothing written
    EXPECT_EQ(Pixels(other), std::vector<uint16_t>(15, 0));

    // A missing picture still gives an image, without pixels and without a key.
    Image* missing = pictures::Load(loader, 161);
    EXPECT_EQ(missing->pixels, nullptr);
    EXPECT_EQ(pictures::FirstPixel(missing), 0);
    EXPECT_EQ(pictures::FirstPixel(nullptr), 0);
    delete missing;
    delete picture;
}

TEST(PartBackBuffer, CopiesTheFrameAndUnlocksOnlyWhatItLocked) {
    HeadlessShow show;
    Image frame(320, 240, 16);
    uint16_t* pixels = reinterpret_cast<uint16_t*>(frame.pixels);
    for (int i = 0; i < 320 * 240; ++i) pixels[i] = static_cast<uint16_t>(i * 37);
    back_buffer::CopyFrame(mainWindow, show.display, &frame);
    show.display.Flip();
    EXPECT_EQ(Visible(), Pixels(frame));
    EXPECT_EQ(show.display.back.view.pixels, nullptr) << "left locked";

    // Without a frame the back buffer is locked and unlocked and keeps what it had.
    Image blank(320, 240, 16);
    back_buffer::CopyFrame(mainWindow, show.display, &blank);
    back_buffer::CopyFrame(mainWindow, show.display, nullptr);
    show.display.Flip();
    EXPECT_EQ(Visible(), Pixels(blank));
    EXPECT_TRUE(testkit::MessageBoxes().empty());

    // A failed lock shows its box once; no unlock of the unlocked surface adds a second.
    std::string error;
    testkit::ResetFailures();
    ASSERT_TRUE(testkit::ArmFailure("Lock", &error)) << error;
    back_buffer::CopyFrame(mainWindow, show.display, &frame);
    EXPECT_EQ(testkit::MessageBoxes().size(), 1u);
    testkit::ResetFailures();
}

}  // namespace
