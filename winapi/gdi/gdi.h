// Device contexts over DirectDraw surface memory, shared by the DirectDraw and GDI stand-ins.
#pragma once

#include <ddraw.h>

#include <cstdint>

namespace winapi {

// Opens a device context that draws into `pixels` (rows of `pitch` bytes) in `format`.
HDC OpenSurfaceDC(uint8_t* pixels, int width, int height, int pitch, const DDPIXELFORMAT& format);
// Closes a context from OpenSurfaceDC; false when `dc` is not one.
bool CloseSurfaceDC(HDC dc);

// A COLORREF (0x00BBGGRR) as a pixel of `format`: each channel's top bits placed by its mask
// (16 bits), or blue, green, red bytes (24 and 32 bits).
uint32_t PixelFromColour(COLORREF colour, const DDPIXELFORMAT& format);

}  // namespace winapi
