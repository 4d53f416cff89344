// Scenario support for the effects: small TGA 2.0 pictures made in memory and registered as
// "TGAFILE" resources, and a headless display for the parts to load onto and present to.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "parts/parte.h"
#include "testing/failures.h"
#include "winapi/kernel32/resources.h"
#include "testing/testing.h"
#include "runtime/window.h"
#include "video/display.h"
#include "image/pixel_layout.h"

namespace show_support {

struct Bgr {
    uint8_t b, g, r;
};

// An uncompressed (type 2) 24-bit TGA 2.0 file. Uncompressed files keep their stored row order,
// so the first row given here is row 0 of the loaded picture.
inline std::vector<uint8_t> Tga24(int width, int height,
                                  const std::function<Bgr(int x, int y)>& pixel) {
    std::vector<uint8_t> file(18, 0);
    file[2] = 2;
    file[12] = static_cast<uint8_t>(width);
    file[13] = static_cast<uint8_t>(width >> 8);
    file[14] = static_cast<uint8_t>(height);
    file[15] = static_cast<uint8_t>(height >> 8);
    file[16] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Bgr p = pixel(x, y);
            file.insert(file.end(), {p.b, p.g, p.r});
        }
    }
    file.insert(file.end(), 8, 0);  // no extension area, no developer directory
    const char signature[] = "TRUEVISION-XFILE.";
    file.insert(file.end(), signature, signature + sizeof signature);
    return file;
}

inline void Register(int id, const std::vector<uint8_t>& file) {
    winapi::RegisterResource("TGAFILE", id, file.data(), file.size());
}

// The 16-bit value a 24-bit pixel becomes in a 5-6-5 layout.
inline uint16_t To565(Bgr p) {
    return static_cast<uint16_t>(((p.r >> 3) << 11) | ((p.g >> 2) << 5) | (p.b >> 3));
}

// A fresh headless platform with the program's window and an open 320x240x16 display in the
// 5-6-5 layout.
struct HeadlessShow {
    Display display;
    HeadlessShow() {
        testkit::ResetPlatform();
        PixelLayout = {0, 0, 0, 0, 0, 0};  // learnt afresh from the display modes
        EXPECT_TRUE(CreateMainWindow(nullptr, 1));
        EXPECT_TRUE(display.Open(mainWindow, 320, 240, 16));
        EXPECT_EQ(PixelLayout.greenBits, 6);
    }
};

// A packed 16-bit image's pixels.
inline std::vector<uint16_t> Pixels(const Image& image) {
    std::vector<uint16_t> copy(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(copy.data() + static_cast<size_t>(y) * image.width,
                    image.pixels + y * image.bytesPerRow, static_cast<size_t>(image.width) * 2);
    }
    return copy;
}

inline std::vector<uint16_t> Visible() {
    int width = 0, height = 0;
    return testkit::VisibleFrame(&width, &height);
}

// Presents with the back surface's lock failing: the DirectDraw box is shown once, and no unlock
// of the surface that is not locked follows (it would show a second box).
template <typename Part>
void PresentWithFailingLock(Part& part, Display& display, deciseconds t) {
    std::string error;
    testkit::ResetFailures();  // call counts start again
    ASSERT_TRUE(testkit::ArmFailure("Lock", &error)) << error;
    testkit::ForgetMessageBoxes();
    part.Present(mainWindow, display, t);
    EXPECT_EQ(testkit::MessageBoxes().size(), 1u);
    testkit::ResetFailures();
}

}  // namespace show_support

// The parts keep their once-only flags and latches in statics for the life of the process, so a
// scenario runs only on a part that nothing else in this process has loaded.
#define EXPECT_FRESH_LOAD(part, member, display)                               \
    do {                                                                       \
        if ((part).member != nullptr) GTEST_SKIP() << "part already loaded";   \
        (part).Load(mainWindow, (display));                                    \
        if ((part).member == nullptr) GTEST_SKIP() << "part already unloaded"; \
    } while (0)
