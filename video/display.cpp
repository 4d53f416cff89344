// The output device: DirectDraw 7 in exclusive full-screen mode, with a flipping primary surface,
// image surfaces over software Images and the black and white full-screen images.
#include "video/display.h"

#include <cstring>

#include "image/trace.h"
#include "video/ddraw_errors.h"
#include "image/pixel_layout.h"

Display mainDisplay;

Surface::Surface() : surface(nullptr), dc(nullptr), pen(CreatePen(PS_SOLID, 0, 0xFFFFFF)) {
    std::memset(&desc, 0, sizeof desc);
}

Surface::~Surface() {
    DeleteObject(pen);
    Release();
    view.Free();
}

Image* Surface::Lock(HWND window, LPRECT rect, DWORD flags) {
    desc.dwSize = sizeof(DDSURFACEDESC2);
    const HRESULT result = surface->Lock(rect, &desc, flags, nullptr);
    if (result != DD_OK) {
        ReportDirectDrawError(window, result);
        return nullptr;
    }
    view.width = static_cast<int32_t>(desc.dwWidth);
    view.height = static_cast<int32_t>(desc.dwHeight);
    view.bitsPerPixel = static_cast<int32_t>(desc.ddpfPixelFormat.dwRGBBitCount);
    view.bytesPerRow = desc.lPitch;
    view.pixels = static_cast<uint8_t*>(desc.lpSurface);
    return &view;
}

void Surface::Unlock(HWND window) {
    const HRESULT result = surface->Unlock(nullptr);
    view.pixels = nullptr;
    if (result != DD_OK) ReportDirectDrawError(window, result);
}

HRESULT Surface::Blit(LPRECT destRect, Surface* source, LPRECT sourceRect, DWORD flags,
                      LPDDBLTFX effects) {
    return surface->Blt(destRect, source->surface, sourceRect, flags, effects);
}

HRESULT Surface::BlitFast(DWORD x, DWORD y, Surface* source, LPRECT sourceRect, DWORD flags) {
    return surface->BltFast(x, y, source->surface, sourceRect, flags);
}

void Surface::Release() {
    if (surface != nullptr) {
        surface->Release();
        surface = nullptr;
    }
}

Display::Display() : white(nullptr), black(nullptr), window(nullptr), ddraw(nullptr) {}

Display::~Display() {
    Close();
}

bool Display::Open(HWND w, int32_t width, int32_t height, int32_t bitsPerPixel) {
    window = w;

    HRESULT result =
        DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&ddraw), IID_IDirectDraw7, nullptr);
    if (result != DD_OK) {
        ReportDirectDrawError(window, result);
        return false;
    }
    result = ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (result != DD_OK) {
        ReportDirectDrawError(window, result);
        return false;
    }
    ddraw->EnumDisplayModes(0, nullptr, nullptr, EnumModesCallback);
    result = ddraw->SetDisplayMode(width, height, bitsPerPixel, 0, 0);
    if (result != DD_OK) {
        ReportDirectDrawError(window, result);
        return false;
    }
    TraceLine("Modo de video %4dx%4dx%2d activado ......... OK", width, height, bitsPerPixel);

    std::memset(&primary.desc, 0, sizeof primary.desc);
    primary.desc.dwSize = sizeof(DDSURFACEDESC2);
    primary.desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    primary.desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    primary.desc.dwBackBufferCount = 1;
    result = ddraw->CreateSurface(&primary.desc, &primary.surface, nullptr);
    if (result != DD_OK) {
        ReportDirectDrawError(window, result);
        return false;
    }

    DDSCAPS2 caps = {};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    result = primary.surface->GetAttachedSurface(&caps, &back.surface);
    if (result != DD_OK) {
        ReportDirectDrawError(window, result);
        return false;
    }

    // Fixed sizes, whatever the mode asked for.
    black = new Image(320, 240, 16);
    if (black->pixels != nullptr) std::memset(black->pixels, 0x00, 320 * 240 * 2);
    white = new Image(320, 240, 16);
    if (white->pixels != nullptr) std::memset(white->pixels, 0xFF, 320 * 240 * 2);
    return true;
}

void Display::Flip() {
    for (;;) {
        const HRESULT result = primary.surface->Flip(nullptr, 0);
        if (result == DDERR_SURFACELOST) {
            // Restored or not, this frame is not flipped again.
            primary.surface->Restore();
            return;
        }
        if (result != DDERR_WASSTILLDRAWING) return;
    }
}

Surface* Display::CreateImageSurface(int32_t width, int32_t height, int32_t bitsPerPixel,
                                     void* pixels) {
    Surface* created = new Surface;
    DDSURFACEDESC2& d = created->desc;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof(DDSURFACEDESC2);
    d.dwWidth = static_cast<DWORD>(width);
    d.dwHeight = static_cast<DWORD>(height);
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    d.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    if (pixels != nullptr) {
        d.dwFlags |= DDSD_PITCH | DDSD_LPSURFACE;
        d.lpSurface = pixels;
        d.lPitch = width * bitsPerPixel / 8;
    }
    DDPIXELFORMAT& f = d.ddpfPixelFormat;
    switch (bitsPerPixel) {
        case 8:
            d.dwFlags |= DDSD_PIXELFORMAT;
            f.dwSize = sizeof(DDPIXELFORMAT);
            f.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
            f.dwRGBBitCount = 8;
            break;
        case 16:
            d.dwFlags |= DDSD_PIXELFORMAT;
            f.dwSize = sizeof(DDPIXELFORMAT);
            f.dwFlags = DDPF_RGB;
            f.dwRGBBitCount = 16;
            f.dwRBitMask = PixelLayout.redMask;
            f.dwGBitMask = PixelLayout.greenMask;
            f.dwBBitMask = PixelLayout.blueMask;
            f.dwRGBAlphaBitMask = 0;
            break;
        case 24:
        case 32:
            d.dwFlags |= DDSD_PIXELFORMAT;
            f.dwSize = sizeof(DDPIXELFORMAT);
            f.dwFlags = DDPF_RGB;
            f.dwRGBBitCount = static_cast<DWORD>(bitsPerPixel);
            f.dwRBitMask = 0xFF0000;
            f.dwGBitMask = 0x00FF00;
            f.dwBBitMask = 0x0000FF;
            f.dwRGBAlphaBitMask = 0;
            break;
        default:
            break;
    }
    const HRESULT result = ddraw->CreateSurface(&d, &created->surface, nullptr);
    if (result != DD_OK) {
        ReportDirectDrawError(window, result);
        delete created;
        return nullptr;
    }
    return created;
}

Surface* Display::WrapImage(Image& image) {
    return CreateImageSurface(image.width, image.height, image.bitsPerPixel, image.pixels);
}

void Display::Close() {
    if (ddraw != nullptr) {
        if (primary.surface != nullptr) {
            // The back buffer belongs to the primary's chain and goes with it.
            primary.surface->Release();
            primary.surface = nullptr;
            back.surface = nullptr;
        }
        ddraw->Release();
        ddraw = nullptr;
    }
    if (black != nullptr) {
        delete black;
        black = nullptr;
    }
    if (white != nullptr) {
        delete white;
        white = nullptr;
    }
}
