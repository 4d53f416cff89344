// Software DirectDraw 7 and GDI lines: modes, the flipping chain, caller-memory surfaces,
// blits, locks, device contexts and injected failures.
#include <gtest/gtest.h>

#include <ddraw.h>

#include <cstring>
#include <vector>

#include "winapi/gdi/gdi.h"
#include "testing/testing.h"

namespace {

struct ModeSeen {
    DWORD width, height, bits, red, green, blue;
    LONG pitch;
};

HRESULT CALLBACK CollectMode(LPDDSURFACEDESC2 mode, LPVOID context) {
    auto* modes = static_cast<std::vector<ModeSeen>*>(context);
    const DDPIXELFORMAT& format = mode->ddpfPixelFormat;
    modes->push_back({mode->dwWidth, mode->dwHeight, format.dwRGBBitCount, format.dwRBitMask,
                      format.dwGBitMask, format.dwBBitMask, mode->lPitch});
    return DDENUMRET_OK;
}

DDSURFACEDESC2 EmptyDesc() {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    return desc;
}

class DirectDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        testkit::ResetPlatform();
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&ddraw), IID_IDirectDraw7,
                                     nullptr),
                  DD_OK);
        window = reinterpret_cast<HWND>(this);  // DirectDraw only keeps the handle
    }
    void TearDown() override {
        for (LPDIRECTDRAWSURFACE7 surface : made) surface->Release();
        if (primary != nullptr) primary->Release();
        ddraw->Release();
        testkit::ResetPlatform();
    }

    void OpenScreen() {
        ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
        ASSERT_EQ(ddraw->SetDisplayMode(320, 240, 16, 0, 0), DD_OK);
        DDSURFACEDESC2 desc = EmptyDesc();
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = 1;
        ASSERT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
        DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, {0}};
        ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    }

    // A 16-bit system-memory surface on `pixels`.
    LPDIRECTDRAWSURFACE7 OnMemory(uint16_t* pixels, DWORD width, DWORD height, LONG pitch) {
        DDSURFACEDESC2 desc = EmptyDesc();
        desc.dwFlags =
            DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.lPitch = pitch;
        desc.lpSurface = pixels;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
        desc.ddpfPixelFormat.dwRGBBitCount = 16;
        desc.ddpfPixelFormat.dwRBitMask = 0xF800;
        desc.ddpfPixelFormat.dwGBitMask = 0x07E0;
        desc.ddpfPixelFormat.dwBBitMask = 0x001F;
        LPDIRECTDRAWSURFACE7 surface = nullptr;
        EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
        if (surface != nullptr) made.push_back(surface);
        return surface;
    }

    uint16_t BackPixel(int x, int y) {
        DDSURFACEDESC2 desc = EmptyDesc();
        EXPECT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DD_OK);
        uint16_t pixel;
        std::memcpy(&pixel, static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + 2 * x, 2);
        back->Unlock(nullptr);
        return pixel;
    }

    LPDIRECTDRAW7 ddraw = nullptr;
    LPDIRECTDRAWSURFACE7 primary = nullptr;
    LPDIRECTDRAWSURFACE7 back = nullptr;
    std::vector<LPDIRECTDRAWSURFACE7> made;
    HWND window = nullptr;
};

TEST_F(DirectDraw, ModeListHasEightHundredBySixHundredAtFiveSixFive) {
    std::vector<ModeSeen> modes;
    ASSERT_EQ(ddraw->EnumDisplayModes(0, nullptr, &modes, CollectMode), DD_OK);
    bool depths[33] = {};
    const ModeSeen* firstWide16 = nullptr;
    for (const ModeSeen& mode : modes) {
        depths[mode.bits] = true;
        if (mode.bits == 16 && mode.width == 800 && firstWide16 == nullptr) firstWide16 = &mode;
        EXPECT_EQ(mode.pitch, LONG(mode.width * mode.bits / 8));
    }
    EXPECT_TRUE(depths[8] && depths[16] && depths[32]);
    ASSERT_NE(firstWide16, nullptr);
    EXPECT_EQ(firstWide16->height, 600u);
    EXPECT_EQ(firstWide16->red, 0xF800u);
    EXPECT_EQ(firstWide16->green, 0x07E0u);
    EXPECT_EQ(firstWide16->blue, 0x001Fu);
}

TEST_F(DirectDraw, DisplayModeNeedsExclusiveModeAndSixteenBits) {
    EXPECT_EQ(ddraw->SetDisplayMode(320, 240, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    EXPECT_EQ(ddraw->SetDisplayMode(321, 240, 16, 0, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(ddraw->SetDisplayMode(640, 480, 32, 0, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(ddraw->SetDisplayMode(320, 240, 16, 0, 0), DD_OK);
    std::string error;
    ASSERT_TRUE(testkit::ArmFailure("SetDisplayMode@5", &error));  // counted from the first
    EXPECT_EQ(ddraw->SetDisplayMode(320, 240, 16, 0, 0), DDERR_INVALIDMODE);
}

TEST_F(DirectDraw, FlipSwapsTheBuffersAndShowsTheBackOne) {
    OpenScreen();
    DDSURFACEDESC2 desc = EmptyDesc();
    ASSERT_EQ(primary->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(desc.dwWidth, 320u);
    EXPECT_EQ(desc.dwHeight, 240u);
    EXPECT_EQ(desc.lPitch, 640);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x07E0u);
    static_cast<uint16_t*>(desc.lpSurface)[0] = 0x1111;  // on screen now
    primary->Unlock(nullptr);
    desc = EmptyDesc();
    ASSERT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    static_cast<uint16_t*>(desc.lpSurface)[0] = 0x2222;  // the next frame
    back->Unlock(nullptr);

    ASSERT_EQ(primary->Flip(nullptr, 0), DD_OK);
    int width = 0, height = 0;
    std::vector<uint16_t> visible = testkit::VisibleFrame(&width, &height);
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 240);
    EXPECT_EQ(visible[0], 0x2222);
    EXPECT_EQ(BackPixel(0, 0), 0x1111);  // the back buffer holds what was visible before
    EXPECT_EQ(hosts::HeadlessResults().flips, 1);
}

TEST_F(DirectDraw, LockChecksItsArgumentsAndState) {
    OpenScreen();
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwSize = 124;  // the 32-bit size is not this build's size
    EXPECT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DDERR_INVALIDPARAMS);
    desc = EmptyDesc();
    EXPECT_EQ(back->Unlock(nullptr), DDERR_NOTLOCKED);
    ASSERT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(primary->Flip(nullptr, 0), DDERR_SURFACEBUSY);
    EXPECT_EQ(back->Unlock(nullptr), DD_OK);
    RECT inside{10, 20, 30, 40};
    ASSERT_EQ(back->Lock(&inside, &desc, 0, nullptr), DD_OK);
    uint8_t* corner = static_cast<uint8_t*>(desc.lpSurface);
    back->Unlock(nullptr);
    ASSERT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(corner, static_cast<uint8_t*>(desc.lpSurface) + 20 * 640 + 10 * 2);
    back->Unlock(nullptr);
    RECT outside{300, 0, 321, 10};
    EXPECT_EQ(back->Lock(&outside, &desc, 0, nullptr), DDERR_INVALIDRECT);
}

TEST_F(DirectDraw, SurfacesOnCallerMemoryUseItInPlace) {
    OpenScreen();
    std::vector<uint16_t> pixels(6 * 5, 0);
    LPDIRECTDRAWSURFACE7 surface = OnMemory(pixels.data(), 6, 5, 12);
    ASSERT_NE(surface, nullptr);
    DDSURFACEDESC2 desc = EmptyDesc();
    ASSERT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(desc.lpSurface, pixels.data());
    EXPECT_EQ(desc.lPitch, 12);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0xF800u);
    surface->Unlock(nullptr);
    pixels[4 * 6 + 5] = 0xBEEF;  // drawn after the surface was made: a blit copies it
    ASSERT_EQ(back->BltFast(0, 0, surface, nullptr, 0), DD_OK);
    EXPECT_EQ(BackPixel(5, 4), 0xBEEF);
    EXPECT_EQ(BackPixel(6, 4), 0);
}

TEST_F(DirectDraw, CallerMemoryNeedsAPointerAndAWideEnoughPitch) {
    OpenScreen();
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_LPSURFACE;
    desc.dwWidth = 8;
    desc.dwHeight = 2;
    desc.lPitch = 14;  // 8 pixels of 16 bits need 16
    uint16_t pixels[16];
    desc.lpSurface = pixels;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    LPDIRECTDRAWSURFACE7 surface = nullptr;
    EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
    desc.lPitch = 16;
    desc.lpSurface = nullptr;
    EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface, nullptr);
}

// A 160x120 field blitted with no rectangles fills the screen: (x, y) shows field (x/2, y/2).
TEST_F(DirectDraw, BltWithoutRectanglesScalesByNearestNeighbour) {
    OpenScreen();
    std::vector<uint16_t> field(160 * 120);
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x) field[y * 160 + x] = (uint16_t)(y * 160 + x);
    }
    LPDIRECTDRAWSURFACE7 surface = OnMemory(field.data(), 160, 120, 320);
    ASSERT_EQ(back->Blt(nullptr, surface, nullptr, 0, nullptr), DD_OK);
    ASSERT_EQ(primary->Flip(nullptr, 0), DD_OK);
    std::vector<uint16_t> screen = testkit::VisibleFrame(nullptr, nullptr);
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            ASSERT_EQ(screen[y * 320 + x], field[(y / 2) * 160 + x / 2]) << x << "," << y;
        }
    }
}

TEST_F(DirectDraw, BltShrinksAndStretchesUnevenly) {
    OpenScreen();
    // 3 columns onto 5: destination x takes source x * 3 / 5 = 0, 0, 1, 1, 2.
    uint16_t source[2 * 3] = {1, 2, 3, 4, 5, 6};
    LPDIRECTDRAWSURFACE7 from = OnMemory(source, 3, 2, 6);
    uint16_t target[3 * 5] = {};
    LPDIRECTDRAWSURFACE7 to = OnMemory(target, 5, 3, 10);
    ASSERT_EQ(to->Blt(nullptr, from, nullptr, 0, nullptr), DD_OK);
    // Rows: 3 onto 2 ... here 2 onto 3: destination y takes y * 2 / 3 = 0, 0, 1.
    const uint16_t expected[3 * 5] = {1, 1, 2, 2, 3, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(target[i], expected[i]) << i;
    RECT nothing{3, 0, 3, 2};  // no columns at the right edge: nothing to stretch
    EXPECT_EQ(to->Blt(nullptr, from, &nothing, 0, nullptr), DDERR_INVALIDRECT);
    RECT beyond{0, 0, 4, 2};
    EXPECT_EQ(to->Blt(nullptr, from, &beyond, 0, nullptr), DDERR_INVALIDRECT);
}

TEST_F(DirectDraw, BltFastClipsToTheDestination) {
    OpenScreen();
    std::vector<uint16_t> tile(40 * 20, 0x7777);
    LPDIRECTDRAWSURFACE7 surface = OnMemory(tile.data(), 40, 20, 80);
    ASSERT_EQ(back->BltFast(300, 230, surface, nullptr, 0), DD_OK);
    EXPECT_EQ(BackPixel(299, 230), 0);
    EXPECT_EQ(BackPixel(300, 229), 0);
    EXPECT_EQ(BackPixel(300, 230), 0x7777);
    EXPECT_EQ(BackPixel(319, 239), 0x7777);
    EXPECT_EQ(back->BltFast(400, 0, surface, nullptr, 0), DD_OK);  // wholly outside: nothing
}

TEST_F(DirectDraw, InjectedFlipFailures) {
    OpenScreen();
    std::string error;
    ASSERT_TRUE(testkit::ArmFailure("Flip@1=DDERR_WASSTILLDRAWING", &error));
    ASSERT_TRUE(testkit::ArmFailure("Flip@2=DDERR_SURFACELOST", &error));
    EXPECT_EQ(primary->Flip(nullptr, 0), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(primary->Flip(nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(hosts::HeadlessResults().flips, 0);
    // The chain stays lost until it is restored.
    DDSURFACEDESC2 desc = EmptyDesc();
    EXPECT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Flip(nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(back->Unlock(nullptr), DD_OK);
    EXPECT_EQ(primary->Flip(nullptr, 0), DD_OK);
    EXPECT_EQ(hosts::HeadlessResults().flips, 1);
}

TEST_F(DirectDraw, InjectedLockAndUnlockFailures) {
    OpenScreen();
    std::string error;
    ASSERT_TRUE(testkit::ArmFailure("Lock@2", &error));
    ASSERT_TRUE(testkit::ArmFailure("Unlock=DDERR_GENERIC", &error));
    DDSURFACEDESC2 desc = EmptyDesc();
    ASSERT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(back->Unlock(nullptr), DDERR_GENERIC);
    EXPECT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACELOST);
    // The failed unlock still gave the surface back.
    EXPECT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(back->Unlock(nullptr), DD_OK);
}

TEST_F(DirectDraw, StartUpCallsCanBeMadeToFail) {
    std::string error;
    ASSERT_TRUE(testkit::ArmFailure("DirectDrawCreateEx@2", &error));  // the fixture made one
    ASSERT_TRUE(testkit::ArmFailure("SetCooperativeLevel=DDERR_NOEXCLUSIVEMODE", &error));
    ASSERT_TRUE(testkit::ArmFailure("CreateSurface", &error));
    ASSERT_TRUE(testkit::ArmFailure("GetAttachedSurface", &error));
    LPDIRECTDRAW7 other = nullptr;
    EXPECT_EQ(
        DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&other), IID_IDirectDraw7, nullptr),
        DDERR_NODIRECTDRAWHW);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
              DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    EXPECT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DDERR_OUTOFVIDEOMEMORY);
    ASSERT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, {0}};
    EXPECT_EQ(primary->GetAttachedSurface(&caps, &back), DDERR_NOTFOUND);
    EXPECT_EQ(ddraw->CreateSurface(&desc, &back, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
}

// GDI lines leave out their end point and take the surface's pixel format.
TEST_F(DirectDraw, GdiLinesWithoutTheEndPoint) {
    OpenScreen();
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
    HDC dc = nullptr;
    ASSERT_EQ(back->GetDC(&dc), DD_OK);
    ASSERT_NE(dc, nullptr);
    DDSURFACEDESC2 desc = EmptyDesc();
    EXPECT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACEBUSY);  // the DC holds it
    SelectObject(dc, pen);
    MoveToEx(dc, 108, 142, nullptr);
    LineTo(dc, 108, 149);
    // A shallow line to the left: (20, 10) to (13, 12), end point left out.
    MoveToEx(dc, 20, 10, nullptr);
    LineTo(dc, 13, 12);
    EXPECT_EQ(back->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(back->ReleaseDC(nullptr), DDERR_NODC);
    EXPECT_EQ(BackPixel(108, 141), 0);
    for (int y = 142; y <= 148; ++y) EXPECT_EQ(BackPixel(108, y), 0xFFFF) << y;
    EXPECT_EQ(BackPixel(108, 149), 0);
    const int expectedY[] = {10, 10, 11, 11, 11, 11, 12};  // x = 20 down to 14
    for (int i = 0; i < 7; ++i) {
        for (int y = 9; y <= 13; ++y) {
            EXPECT_EQ(BackPixel(20 - i, y), y == expectedY[i] ? 0xFFFF : 0) << 20 - i << "," << y;
        }
    }
    for (int y = 9; y <= 13; ++y) EXPECT_EQ(BackPixel(13, y), 0);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));
}

TEST(GdiColours, ColourRefsTakeTheSurfaceMasks) {
    DDPIXELFORMAT format{};
    format.dwRGBBitCount = 16;
    format.dwRBitMask = 0xF800;
    format.dwGBitMask = 0x07E0;
    format.dwBBitMask = 0x001F;
    EXPECT_EQ(winapi::PixelFromColour(RGB(255, 0, 0), format), 0xF800u);
    EXPECT_EQ(winapi::PixelFromColour(RGB(0, 255, 0), format), 0x07E0u);
    EXPECT_EQ(winapi::PixelFromColour(RGB(0, 0, 255), format), 0x001Fu);
    EXPECT_EQ(winapi::PixelFromColour(RGB(0x84, 0x82, 0x08), format), 0x8401u);
    format.dwRBitMask = 0x7C00;
    format.dwGBitMask = 0x03E0;
    EXPECT_EQ(winapi::PixelFromColour(RGB(255, 255, 255), format), 0x7FFFu);
    format.dwRGBBitCount = 32;
    EXPECT_EQ(winapi::PixelFromColour(RGB(1, 2, 3), format), 0x010203u);
}

TEST(GdiContexts, LinesOutsideTheSurfaceAreClipped) {
    uint16_t pixels[4 * 4] = {};
    DDPIXELFORMAT format{};
    format.dwRGBBitCount = 16;
    format.dwRBitMask = 0xF800;
    format.dwGBitMask = 0x07E0;
    format.dwBBitMask = 0x001F;
    HDC dc = winapi::OpenSurfaceDC(reinterpret_cast<uint8_t*>(pixels), 4, 4, 8, format);
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
    SelectObject(dc, pen);
    MoveToEx(dc, -2, -2, nullptr);
    LineTo(dc, 10, 10);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(pixels[i * 4 + i], 0xFFFF) << i;
    EXPECT_EQ(pixels[1], 0);
    EXPECT_TRUE(winapi::CloseSurfaceDC(dc));
    EXPECT_FALSE(LineTo(dc, 0, 0));  // closed: nothing drawn, no crash
    DeleteObject(pen);
}

}  // namespace
