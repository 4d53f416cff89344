// The display's 16-bit pixel layout, taken from the first 16-bit mode exactly 800 pixels wide.
#include "image/pixel_layout.h"

#include "image/trace.h"

PixelLayoutFields PixelLayout = {0, 0, 0, 0, 0, 0};

namespace {

// Number of significant bits: shift right until zero, counting the shifts.
int8_t SignificantBits(uint32_t value) {
    int8_t bits = 0;
    while (value != 0) {
        value >>= 1;
        ++bits;
    }
    return bits;
}

// A shift by 32 or more leaves nothing (a mask may be zero-width).
uint32_t ShiftRight(uint32_t value, int n) {
    return n >= 32 ? 0 : value >> n;
}

}  // namespace

HRESULT CALLBACK EnumModesCallback(LPDDSURFACEDESC2 mode, LPVOID) {
    if (mode == nullptr) return DDENUMRET_CANCEL;
    const DDPIXELFORMAT& format = mode->ddpfPixelFormat;
    TraceLine("%4d x %4d x %2d  P:%4d  M:|R:%8lx|G:%8lx|B:%8lx|A:%8lx|",
              static_cast<int>(mode->dwWidth), static_cast<int>(mode->dwHeight),
              static_cast<int>(format.dwRGBBitCount), static_cast<int>(mode->lPitch),
              static_cast<unsigned long>(format.dwRBitMask),
              static_cast<unsigned long>(format.dwGBitMask),
              static_cast<unsigned long>(format.dwBBitMask),
              static_cast<unsigned long>(format.dwRGBAlphaBitMask));
    if (format.dwRGBBitCount != 16 || PixelLayout.redBits != 0 || mode->dwWidth != 800) {
        return DDENUMRET_OK;
    }
    // The counts add to the current fields, which are zero the first time.
    PixelLayout.blueMask = static_cast<uint16_t>(format.dwBBitMask);
    PixelLayout.blueBits =
        static_cast<int8_t>(PixelLayout.blueBits + SignificantBits(format.dwBBitMask));
    PixelLayout.greenMask = static_cast<uint16_t>(format.dwGBitMask);
    PixelLayout.greenBits =
        static_cast<int8_t>(PixelLayout.greenBits +
                            SignificantBits(ShiftRight(format.dwGBitMask, PixelLayout.blueBits)));
    PixelLayout.redMask = static_cast<uint16_t>(format.dwRBitMask);
    PixelLayout.redBits =
        static_cast<int8_t>(PixelLayout.redBits +
                            SignificantBits(ShiftRight(
                                format.dwRBitMask, PixelLayout.blueBits + PixelLayout.greenBits)));
    TraceLine("Bits en 16 bits: %d - %d - %d", PixelLayout.redBits, PixelLayout.greenBits,
              PixelLayout.blueBits);
    return DDENUMRET_OK;
}
