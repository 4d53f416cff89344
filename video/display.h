// The output device: DirectDraw 7 in exclusive full-screen mode, its flipping chain, image
// surfaces over software Images, and the all-black and all-white full-screen images.
#pragma once

#include <ddraw.h>

#include "image/image.h"

class Surface {
  public:
    DDSURFACEDESC2 desc;
    LPDIRECTDRAWSURFACE7 surface;
    HDC dc;
    HPEN pen;    // solid white, one pixel wide; every Surface has its own
    Image view;  // describes the surface memory while locked; pixels null while unlocked

    Surface();
    // Deletes the pen, releases the surface and frees the view (a no-op while unlocked).
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Locks the surface and returns `view` describing its memory, or null after the DirectDraw
    // error box.
    Image* Lock(HWND window, LPRECT rect, DWORD flags);
    // Unlocks; the view's pixels become null whatever DirectDraw answers.
    void Unlock(HWND window);
    // IDirectDrawSurface7::Blt onto this surface from `source`; the result unchanged, unreported.
    HRESULT Blit(LPRECT destRect, Surface* source, LPRECT sourceRect, DWORD flags,
                 LPDDBLTFX effects);
    // IDirectDrawSurface7::BltFast onto this surface; the result unchanged, unreported.
    HRESULT BlitFast(DWORD x, DWORD y, Surface* source, LPRECT sourceRect, DWORD flags);
    // Releases the DirectDraw surface, if any.
    void Release();

    // GDI on the surface: open the device context with the white pen selected, draw lines
    // (without their end point), release the context.
    HDC OpenDC();
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    HRESULT CloseDC();
};

class Display {
  public:
    Surface primary;
    Surface back;
    Image* white;  // 320x240x16, every byte 0xFF
    Image* black;  // 320x240x16, every byte 0
    HWND window;
    LPDIRECTDRAW7 ddraw;

    Display();
    // The process-exit teardown (Display::Close).
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool Open(HWND window, int32_t width, int32_t height, int32_t bitsPerPixel);
    void Flip();
    // A system-memory off-screen surface; on `pixels` when non-null. Owned by the caller.
    Surface* CreateImageSurface(int32_t width, int32_t height, int32_t bitsPerPixel, void* pixels);
    // CreateImageSurface over the image's own memory; the image must outlive the surface.
    Surface* WrapImage(Image& image);
    void Close();
};

// The program's one Display.
extern Display mainDisplay;
