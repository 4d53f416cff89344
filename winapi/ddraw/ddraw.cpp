// DirectDraw 7 in software: one display device with a believable mode list, a primary surface
// with one back buffer that swap their memory on Flip, and system-memory off-screen surfaces,
// on memory of their own or of the caller. Every flip hands the visible frame to the host.
//
// Implemented: DirectDrawCreateEx (IID_IDirectDraw7), SetCooperativeLevel, EnumDisplayModes
// (with a width/height/depth filter), SetDisplayMode (16-bit modes of the list), CreateSurface
// (primary flipping chain with one back buffer; off-screen plain surfaces at 8, 16, 24, 32 bits,
// DDSD_LPSURFACE/DDSD_PITCH), GetAttachedSurface (the back buffer), Flip, Lock (whole surface or
// a rectangle), Unlock, Blt (nearest-neighbour stretch between equal depths), BltFast (copy,
// clipped to the destination), GetDC/ReleaseDC, Restore, Release.
// Left out: colour keys, blit effects and raster operations, clippers, palettes, overlays,
// video memory, depth conversion in blits, more than one back buffer.
#include <ddraw.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "winapi/calls.h"
#include "winapi/gdi/gdi.h"
#include "winapi/host.h"
#include "winapi/state.h"

const GUID IID_IDirectDraw7 = {
    0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

namespace winapi {
namespace {

struct DisplayMode {
    DWORD width;
    DWORD height;
    DWORD bitsPerPixel;
};

// In the order a driver of the time listed them: by depth, then by size.
const DisplayMode kModes[] = {
    {320, 200, 8},   {320, 240, 8},    {400, 300, 8},    {512, 384, 8},   {640, 400, 8},
    {640, 480, 8},   {800, 600, 8},    {1024, 768, 8},   {1280, 1024, 8}, {320, 200, 16},
    {320, 240, 16},  {400, 300, 16},   {512, 384, 16},   {640, 400, 16},  {640, 480, 16},
    {800, 600, 16},  {1024, 768, 16},  {1280, 1024, 16}, {320, 200, 32},  {320, 240, 32},
    {400, 300, 32},  {512, 384, 32},   {640, 400, 32},   {640, 480, 32},  {800, 600, 32},
    {1024, 768, 32}, {1280, 1024, 32},
};

DDPIXELFORMAT FormatForDepth(DWORD bitsPerPixel) {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = bitsPerPixel;
    if (bitsPerPixel == 8) {
        format.dwFlags |= DDPF_PALETTEINDEXED8;
    } else if (bitsPerPixel == 16) {
        format.dwRBitMask = 0xF800;
        format.dwGBitMask = 0x07E0;
        format.dwBBitMask = 0x001F;
    } else {
        format.dwRBitMask = 0xFF0000;
        format.dwGBitMask = 0x00FF00;
        format.dwBBitMask = 0x0000FF;
    }
    return format;
}

LONG PitchFor(DWORD width, DWORD bitsPerPixel) {
    return (LONG)(((width * bitsPerPixel / 8) + 3) & ~3u);
}

class SoftSurface;
SoftSurface* livePrimary = nullptr;

class SoftSurface final : public IDirectDrawSurface7 {
  public:
    SoftSurface(DWORD width, DWORD height, const DDPIXELFORMAT& format, DWORD caps)
        : width_(width), height_(height), format_(format), caps_(caps) {}

    // Memory of its own, zeroed.
    void Allocate() {
        pitch_ = PitchFor(width_, format_.dwRGBBitCount);
        owned_.assign((size_t)pitch_ * height_, 0);
        memory_ = owned_.data();
    }
    void UseCallerMemory(void* memory, LONG pitch) {
        memory_ = static_cast<uint8_t*>(memory);
        pitch_ = pitch;
    }
    void AttachBackBuffer(SoftSurface* back) {
        back_ = back;
        back->front_ = this;
    }
    void SetLost(bool lost) {
        lost_ = lost;
        if (back_ != nullptr) back_->lost_ = lost;
    }

    ULONG Release() override {
        if (refs_ == 0) return 0;
        ULONG left = --refs_;
        if (left != 0 || front_ != nullptr) return left;  // a back buffer goes with its chain
        if (back_ != nullptr) {
            CloseSurfaceDC(back_->dc_);
            delete back_;
        }
        if (livePrimary == this) livePrimary = nullptr;
        CloseSurfaceDC(dc_);
        delete this;
        return 0;
    }

    HRESULT Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD,
                LPDDBLTFX) override {
        auto* from = static_cast<SoftSurface*>(source);
        if (from == nullptr) return DDERR_INVALIDPARAMS;
        if (lost_ || from->lost_) return DDERR_SURFACELOST;
        if (Busy() || from->Busy()) return DDERR_SURFACEBUSY;
        if (from->format_.dwRGBBitCount != format_.dwRGBBitCount) return DDERR_UNSUPPORTED;
        RECT dest = destRect != nullptr ? *destRect : Whole();
        RECT src = sourceRect != nullptr ? *sourceRect : from->Whole();
        if (!Inside(dest) || !from->Inside(src) || Empty(dest) || Empty(src)) {
            return DDERR_INVALIDRECT;
        }
        int64_t destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
        int64_t srcWidth = src.right - src.left, srcHeight = src.bottom - src.top;
        int bytes = (int)format_.dwRGBBitCount / 8;
        // Reading and writing one surface: read from a copy.
        std::vector<uint8_t> copy;
        const uint8_t* srcMemory = from->memory_;
        if (from == this) {
            copy.assign(memory_, memory_ + (size_t)pitch_ * height_);
            srcMemory = copy.data();
        }
        // Nearest neighbour: destination x takes source x * srcWidth / destWidth (rows alike).
        for (int64_t y = 0; y < destHeight; ++y) {
            const uint8_t* srcRow =
                srcMemory + (size_t)(src.top + y * srcHeight / destHeight) * from->pitch_;
            uint8_t* destRow =
                memory_ + (size_t)(dest.top + y) * pitch_ + (size_t)dest.left * bytes;
            if (srcWidth == destWidth) {
                std::memcpy(destRow, srcRow + (size_t)src.left * bytes, (size_t)destWidth * bytes);
                continue;
            }
            for (int64_t x = 0; x < destWidth; ++x) {
                const uint8_t* pixel =
                    srcRow + (size_t)(src.left + x * srcWidth / destWidth) * bytes;
                std::memcpy(destRow + (size_t)x * bytes, pixel, bytes);
            }
        }
        ShowIfVisible();
        return DD_OK;
    }

    HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect,
                    DWORD) override {
        auto* from = static_cast<SoftSurface*>(source);
        if (from == nullptr) return DDERR_INVALIDPARAMS;
        if (lost_ || from->lost_) return DDERR_SURFACELOST;
        if (Busy() || from->Busy()) return DDERR_SURFACEBUSY;
        if (from->format_.dwRGBBitCount != format_.dwRGBBitCount) return DDERR_UNSUPPORTED;
        RECT src = sourceRect != nullptr ? *sourceRect : from->Whole();
        if (!from->Inside(src)) return DDERR_INVALIDRECT;
        if (x >= width_ || y >= height_) return DD_OK;
        int64_t copyWidth = std::min<int64_t>(src.right - src.left, (int64_t)width_ - x);
        int64_t copyHeight = std::min<int64_t>(src.bottom - src.top, (int64_t)height_ - y);
        int bytes = (int)format_.dwRGBBitCount / 8;
        for (int64_t row = 0; row < copyHeight; ++row) {
            const uint8_t* srcRow =
                from->memory_ + (size_t)(src.top + row) * from->pitch_ + (size_t)src.left * bytes;
            uint8_t* destRow = memory_ + (size_t)(y + row) * pitch_ + (size_t)x * bytes;
            std::memmove(destRow, srcRow, (size_t)copyWidth * bytes);
        }
        ShowIfVisible();
        return DD_OK;
    }

    HRESULT Flip(LPDIRECTDRAWSURFACE7 overrideSurface, DWORD) override {
        if (back_ == nullptr) return DDERR_NOTFLIPPABLE;
        if (overrideSurface != nullptr && overrideSurface != back_) return DDERR_INVALIDPARAMS;
        int64_t code = DDERR_SURFACELOST;
        if (winapi::CallFails(winapi::Call::kFlip, &code)) {
            if (code == DDERR_SURFACELOST) SetLost(true);
            return (HRESULT)code;
        }
        if (lost_) return DDERR_SURFACELOST;
        if (Busy() || back_->Busy()) return DDERR_SURFACEBUSY;
        // The back buffer's memory becomes visible; the old front becomes the back buffer.
        std::swap(owned_, back_->owned_);
        std::swap(memory_, back_->memory_);
        std::swap(pitch_, back_->pitch_);
        CurrentHost().PresentFrame(reinterpret_cast<const uint16_t*>(memory_), (int)width_,
                                   (int)height_, (int)pitch_);
        return DD_OK;
    }

    HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* attached) override {
        if (caps == nullptr || attached == nullptr) return DDERR_INVALIDPARAMS;
        int64_t code = DDERR_NOTFOUND;
        if (winapi::CallFails(winapi::Call::kGetAttachedSurface, &code)) return (HRESULT)code;
        if (back_ == nullptr || !(caps->dwCaps & DDSCAPS_BACKBUFFER)) return DDERR_NOTFOUND;
        ++back_->refs_;
        *attached = back_;
        return DD_OK;
    }

    HRESULT GetDC(HDC* dc) override {
        if (dc == nullptr) return DDERR_INVALIDPARAMS;
        *dc = nullptr;
        if (lost_) return DDERR_SURFACELOST;
        if (Busy()) return DDERR_SURFACEBUSY;
        dc_ = OpenSurfaceDC(memory_, (int)width_, (int)height_, (int)pitch_, format_);
        *dc = dc_;
        return DD_OK;
    }

    HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD, HANDLE) override {
        if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
        int64_t code = DDERR_SURFACELOST;
        if (winapi::CallFails(winapi::Call::kLock, &code)) return (HRESULT)code;
        if (lost_) return DDERR_SURFACELOST;
        if (Busy()) return DDERR_SURFACEBUSY;
        RECT area = rect != nullptr ? *rect : Whole();
        if (!Inside(area)) return DDERR_INVALIDRECT;
        std::memset(desc, 0, sizeof *desc);
        desc->dwSize = sizeof(DDSURFACEDESC2);
        desc->dwFlags =
            DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_LPSURFACE;
        desc->dwWidth = width_;
        desc->dwHeight = height_;
        desc->lPitch = pitch_;
        desc->lpSurface =
            memory_ + (size_t)area.top * pitch_ + (size_t)area.left * (format_.dwRGBBitCount / 8);
        desc->ddpfPixelFormat = format_;
        desc->ddsCaps.dwCaps = caps_;
        locked_ = true;
        return DD_OK;
    }

    HRESULT ReleaseDC(HDC dc) override {
        if (dc == nullptr || dc != dc_) return DDERR_NODC;
        CloseSurfaceDC(dc_);
        dc_ = nullptr;
        ShowIfVisible();
        return DD_OK;
    }

    HRESULT Restore() override {
        int64_t code = DDERR_GENERIC;
        if (winapi::CallFails(winapi::Call::kRestore, &code)) return (HRESULT)code;
        SetLost(false);
        if (front_ != nullptr) front_->SetLost(false);
        return DD_OK;
    }

    HRESULT Unlock(LPRECT) override {
        bool wasLocked = locked_;
        // The memory is given back even when a failure is reported.
        locked_ = false;
        if (wasLocked) ShowIfVisible();
        int64_t code = DDERR_NOTLOCKED;
        if (winapi::CallFails(winapi::Call::kUnlock, &code)) return (HRESULT)code;
        return wasLocked ? DD_OK : DDERR_NOTLOCKED;
    }

    // Writes to the visible surface outside a flip show at once, as on a real screen.
    void ShowIfVisible() {
        if (this != livePrimary) return;
        CurrentHost().RefreshScreen(reinterpret_cast<const uint16_t*>(memory_), (int)width_,
                                    (int)height_, (int)pitch_);
    }

    const uint8_t* Memory() const { return memory_; }
    DWORD Width() const { return width_; }
    DWORD Height() const { return height_; }
    LONG Pitch() const { return pitch_; }

  private:
    ~SoftSurface() = default;

    bool Busy() const { return locked_ || dc_ != nullptr; }
    static bool Empty(const RECT& rect) {
        return rect.left == rect.right || rect.top == rect.bottom;
    }
    RECT Whole() const { return RECT{0, 0, (LONG)width_, (LONG)height_}; }
    bool Inside(const RECT& rect) const {
        return rect.left >= 0 && rect.top >= 0 && rect.left <= rect.right &&
               rect.top <= rect.bottom && rect.right <= (LONG)width_ &&
               rect.bottom <= (LONG)height_;
    }

    ULONG refs_ = 1;
    DWORD width_;
    DWORD height_;
    DDPIXELFORMAT format_;
    DWORD caps_;
    std::vector<uint8_t> owned_;
    uint8_t* memory_ = nullptr;
    LONG pitch_ = 0;
    SoftSurface* back_ = nullptr;   // on a primary: its back buffer
    SoftSurface* front_ = nullptr;  // on a back buffer: its primary
    bool locked_ = false;
    bool lost_ = false;
    HDC dc_ = nullptr;
};

class SoftDirectDraw final : public IDirectDraw7 {
  public:
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                          IUnknown* outer) override {
        if (desc == nullptr || surface == nullptr || outer != nullptr ||
            desc->dwSize != sizeof(DDSURFACEDESC2)) {
            return DDERR_INVALIDPARAMS;
        }
        *surface = nullptr;
        int64_t code = DDERR_OUTOFVIDEOMEMORY;
        if (winapi::CallFails(winapi::Call::kCreateSurface, &code)) return (HRESULT)code;
        DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
        if (caps & DDSCAPS_PRIMARYSURFACE) return CreatePrimary(desc, caps, surface);
        return CreateOffscreen(desc, caps, surface);
    }

    HRESULT EnumDisplayModes(DWORD, LPDDSURFACEDESC2 filter, LPVOID context,
                             LPDDENUMMODESCALLBACK2 callback) override {
        if (callback == nullptr) return DDERR_INVALIDPARAMS;
        for (const DisplayMode& mode : kModes) {
            if (filter != nullptr) {
                if ((filter->dwFlags & DDSD_WIDTH) && filter->dwWidth != mode.width) continue;
                if ((filter->dwFlags & DDSD_HEIGHT) && filter->dwHeight != mode.height) continue;
                if ((filter->dwFlags & DDSD_PIXELFORMAT) &&
                    filter->ddpfPixelFormat.dwRGBBitCount != mode.bitsPerPixel) {
                    continue;
                }
            }
            DDSURFACEDESC2 described{};
            described.dwSize = sizeof described;
            described.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
            described.dwWidth = mode.width;
            described.dwHeight = mode.height;
            described.lPitch = PitchFor(mode.width, mode.bitsPerPixel);
            described.dwRefreshRate = 60;
            described.ddpfPixelFormat = FormatForDepth(mode.bitsPerPixel);
            if (callback(&described, context) == DDENUMRET_CANCEL) break;
        }
        return DD_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        int64_t code = DDERR_HWNDALREADYSET;
        if (winapi::CallFails(winapi::Call::kSetCooperativeLevel, &code)) return (HRESULT)code;
        bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        if (exclusive != ((flags & DDSCL_FULLSCREEN) != 0)) return DDERR_INVALIDPARAMS;
        if (exclusive && window == nullptr) return DDERR_INVALIDPARAMS;
        levelSet_ = true;
        exclusive_ = exclusive;
        return DD_OK;
    }

    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD, DWORD) override {
        int64_t code = DDERR_INVALIDMODE;
        if (winapi::CallFails(winapi::Call::kSetDisplayMode, &code)) return (HRESULT)code;
        if (!exclusive_) return DDERR_NOEXCLUSIVEMODE;
        // The screen is 16-bit only: those modes of the list can be set.
        bool listed = false;
        for (const DisplayMode& mode : kModes) {
            listed = listed || (mode.width == width && mode.height == height &&
                                mode.bitsPerPixel == bitsPerPixel);
        }
        if (!listed || bitsPerPixel != 16) return DDERR_INVALIDMODE;
        mode_ = DisplayMode{width, height, bitsPerPixel};
        return DD_OK;
    }

  private:
    ~SoftDirectDraw() = default;

    HRESULT CreatePrimary(LPDDSURFACEDESC2 desc, DWORD caps, LPDIRECTDRAWSURFACE7* surface) {
        if (!levelSet_) return DDERR_NOCOOPERATIVELEVELSET;
        if (livePrimary != nullptr) return DDERR_PRIMARYSURFACEALREADYEXISTS;
        bool chain = (caps & DDSCAPS_FLIP) != 0;
        if (chain) {
            if (!exclusive_) return DDERR_NOEXCLUSIVEMODE;
            if (!(caps & DDSCAPS_COMPLEX) || !(desc->dwFlags & DDSD_BACKBUFFERCOUNT) ||
                desc->dwBackBufferCount != 1) {
                return DDERR_INVALIDPARAMS;
            }
        }
        DDPIXELFORMAT format = FormatForDepth(mode_.bitsPerPixel);
        auto* primary = new SoftSurface(mode_.width, mode_.height, format,
                                        caps | DDSCAPS_FRONTBUFFER | DDSCAPS_VIDEOMEMORY);
        primary->Allocate();
        if (chain) {
            auto* back = new SoftSurface(
                mode_.width, mode_.height, format,
                DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY);
            back->Allocate();
            primary->AttachBackBuffer(back);
        }
        livePrimary = primary;
        *surface = primary;
        return DD_OK;
    }

    HRESULT CreateOffscreen(LPDDSURFACEDESC2 desc, DWORD caps, LPDIRECTDRAWSURFACE7* surface) {
        if (!levelSet_) return DDERR_NOCOOPERATIVELEVELSET;
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
            desc->dwWidth == 0 || desc->dwHeight == 0 || desc->dwWidth > 16384 ||
            desc->dwHeight > 16384) {
            return DDERR_INVALIDPARAMS;
        }
        DDPIXELFORMAT format = FormatForDepth(mode_.bitsPerPixel);
        if (desc->dwFlags & DDSD_PIXELFORMAT) {
            DWORD bits = desc->ddpfPixelFormat.dwRGBBitCount;
            if (!(desc->ddpfPixelFormat.dwFlags & DDPF_RGB) ||
                (bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
                return DDERR_INVALIDPIXELFORMAT;
            }
            format = desc->ddpfPixelFormat;
            format.dwSize = sizeof(DDPIXELFORMAT);
        }
        auto* created = new SoftSurface(desc->dwWidth, desc->dwHeight, format,
                                        caps | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
        if (desc->dwFlags & DDSD_LPSURFACE) {
            LONG least = (LONG)(desc->dwWidth * format.dwRGBBitCount / 8);
            LONG pitch = (desc->dwFlags & DDSD_PITCH) ? desc->lPitch : least;
            if (desc->lpSurface == nullptr || pitch < least) {
                created->Release();
                return DDERR_INVALIDPARAMS;
            }
            created->UseCallerMemory(desc->lpSurface, pitch);
        } else {
            created->Allocate();
        }
        *surface = created;
        return DD_OK;
    }

    ULONG refs_ = 1;
    bool levelSet_ = false;
    bool exclusive_ = false;
    DisplayMode mode_{640, 480, 16};  // the desktop until a mode is set
};

}  // namespace

void ForgetDisplay() {
    livePrimary = nullptr;
}

std::vector<uint16_t> VisibleFrame(int* width, int* height) {
    std::vector<uint16_t> frame;
    if (livePrimary == nullptr) {
        if (width != nullptr) *width = 0;
        if (height != nullptr) *height = 0;
        return frame;
    }
    int w = (int)livePrimary->Width(), h = (int)livePrimary->Height();
    frame.resize((size_t)w * h);
    for (int y = 0; y < h; ++y) {
        std::memcpy(&frame[(size_t)y * w], livePrimary->Memory() + (size_t)y * livePrimary->Pitch(),
                    (size_t)w * 2);
    }
    if (width != nullptr) *width = w;
    if (height != nullptr) *height = h;
    return frame;
}

}  // namespace winapi

HRESULT WINAPI DirectDrawCreateEx(GUID* guid, LPVOID* directDraw, REFIID iid, IUnknown* outer) {
    if (directDraw == nullptr) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    int64_t code = DDERR_NODIRECTDRAWHW;
    if (winapi::CallFails(winapi::Call::kDirectDrawCreateEx, &code)) return (HRESULT)code;
    if (guid != nullptr) return DDERR_INVALIDDIRECTDRAWGUID;
    if (outer != nullptr || std::memcmp(&iid, &IID_IDirectDraw7, sizeof(GUID)) != 0) {
        return DDERR_INVALIDPARAMS;
    }
    *directDraw = static_cast<IDirectDraw7*>(new winapi::SoftDirectDraw());
    return DD_OK;
}
