// The display's 16-bit pixel layout, learnt from the display-mode list.
#pragma once

#include <ddraw.h>

#include <cstdint>

struct PixelLayoutFields {
    uint16_t redMask;
    uint16_t greenMask;
    uint16_t blueMask;
    int8_t redBits;
    int8_t greenBits;
    int8_t blueBits;
};

// Blue in the low bits, then green, then red. All zero until the first 16-bit mode exactly 800
// pixels wide has been enumerated.
extern PixelLayoutFields PixelLayout;

// EnumDisplayModes callback: fills PixelLayout from the first 16-bit, 800-wide mode. Returns
// DDENUMRET_CANCEL for a null description, otherwise DDENUMRET_OK.
HRESULT CALLBACK EnumModesCallback(LPDDSURFACEDESC2 mode, LPVOID context);
