// Pixel layout from the mode list, DirectDraw error texts, the script clock.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/script.h"
#include "video/ddraw_errors.h"
#include "image/pixel_layout.h"

namespace {

DDSURFACEDESC2 Mode(DWORD width, DWORD height, DWORD bpp, DWORD r, DWORD g, DWORD b) {
    DDSURFACEDESC2 mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dwSize = sizeof mode;
    mode.dwWidth = width;
    mode.dwHeight = height;
    mode.lPitch = static_cast<LONG>(width * bpp / 8);
    mode.ddpfPixelFormat.dwRGBBitCount = bpp;
    mode.ddpfPixelFormat.dwRBitMask = r;
    mode.ddpfPixelFormat.dwGBitMask = g;
    mode.ddpfPixelFormat.dwBBitMask = b;
    return mode;
}

TEST(PixelLayoutFromModes, FirstSixteenBitModeEightHundredWideWins) {
    PixelLayout = {};
    DDSURFACEDESC2 modes[] = {
        Mode(640, 480, 16, 0x7C00, 0x03E0, 0x001F),  // wrong width
        Mode(800, 600, 32, 0xFF0000, 0xFF00, 0xFF),  // wrong depth
        Mode(800, 600, 16, 0xF800, 0x07E0, 0x001F),  // this one
        Mode(800, 600, 16, 0x7C00, 0x03E0, 0x001F),  // too late
    };
    EXPECT_EQ(EnumModesCallback(&modes[0], nullptr), DDENUMRET_OK);
    EXPECT_EQ(EnumModesCallback(&modes[1], nullptr), DDENUMRET_OK);
    EXPECT_EQ(PixelLayout.redBits, 0);
    EnumModesCallback(&modes[2], nullptr);
    EnumModesCallback(&modes[3], nullptr);
    EXPECT_EQ(PixelLayout.redMask, 0xF800);
    EXPECT_EQ(PixelLayout.greenMask, 0x07E0);
    EXPECT_EQ(PixelLayout.blueMask, 0x001F);
    EXPECT_EQ(PixelLayout.redBits, 5);
    EXPECT_EQ(PixelLayout.greenBits, 6);
    EXPECT_EQ(PixelLayout.blueBits, 5);
    EXPECT_EQ(EnumModesCallback(nullptr, nullptr), DDENUMRET_CANCEL);
}

TEST(PixelLayoutFromModes, FiveFiveFive) {
    PixelLayout = {};
    DDSURFACEDESC2 mode = Mode(800, 600, 16, 0x7C00, 0x03E0, 0x001F);
    EnumModesCallback(&mode, nullptr);
    EXPECT_EQ(PixelLayout.redBits, 5);
    EXPECT_EQ(PixelLayout.greenBits, 5);
    EXPECT_EQ(PixelLayout.blueBits, 5);
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
}

TEST(DirectDrawErrors, TextsAndFallback) {
    EXPECT_STREQ(DirectDrawErrorText(DD_OK), "No error.");
    EXPECT_STREQ(DirectDrawErrorText(DDERR_SURFACELOST),
                 "Access to this surface is being refused because the surface memory is gone. "
                 "The DirectDrawSurface object representing this surface should have Restore "
                 "called on it.");
    EXPECT_EQ(DDERR_SURFACELOST, -2005532222);
    EXPECT_STREQ(DirectDrawErrorText(DDERR_OUTOFMEMORY),
                 DirectDrawErrorText(DDERR_OUTOFVIDEOMEMORY));
    EXPECT_NE(DDERR_OUTOFMEMORY, DDERR_OUTOFVIDEOMEMORY);
    EXPECT_STREQ(DirectDrawErrorText(DDERR_UNSUPPORTEDMODE), "Unrecognized error value.");
    EXPECT_STREQ(DirectDrawErrorText(0x12345678), "Unrecognized error value.");
    EXPECT_STREQ(DirectDrawErrorText(DDERR_INVALIDMODE),
                 "DirectDraw does not support the requested mode.");
    EXPECT_EQ(DDERR_INVALIDMODE, -2005532552);
    EXPECT_STREQ(DirectDrawErrorText(DDERR_NOTLOCKED),
                 "Surface was not locked.  An attempt to unlock a surface that was not locked at "
                 "all, or by this process, has been attempted.");
}

TEST(ScriptClock, SeventeenThousandFourHundredBytesAUnit) {
    EXPECT_EQ(ClockFromPosition(0), 0);
    EXPECT_EQ(ClockFromPosition(17399), 0);
    EXPECT_EQ(ClockFromPosition(17400), 1);
    EXPECT_EQ(ClockFromPosition(24809472), 1425);
    EXPECT_EQ(ClockFromPosition(0xFFFFFFFFu), 246837);  // unsigned division
}

TEST(ScriptTable, StartTimesAscendAndEndWithTheTerminator) {
    const int32_t starts[kScriptRows] = {0,   150, 250, 312,  420,  520, 600,
                                         680, 780, 880, 1000, 1120, 1420};
    for (int row = 0; row < kScriptRows; ++row) {
        EXPECT_EQ(Script[row].start, starts[row]);
        EXPECT_EQ(Script[row].part == nullptr, row == kScriptRows - 1);
    }
}

}  // namespace
