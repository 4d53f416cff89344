// The picture of the loading screen at music start, read from the real DirectDraw's primary
// surface.
#include "testing/loading_picture.h"

#include <windows.h>

#include <ddraw.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "hosts/common/frame.h"
#include "video/ddraw_errors.h"
#include "video/display.h"
#include "winapi/calls.h"

namespace testkit {
namespace {

std::string picturePath;
bool pictureTaken = false;

// Copies the locked primary surface of mainDisplay and writes it to `path` (see the header).
bool WritePrimarySurface(const std::string& path, std::string* error) {
    IDirectDrawSurface7* primary = mainDisplay.primary.surface;
    if (primary == nullptr) {
        *error = "there is no primary surface";
        return false;
    }
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    HRESULT result = primary->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
    if (FAILED(result)) {
        *error = std::string("the primary surface would not lock: ") + DirectDrawErrorText(result);
        return false;
    }
    const int width = static_cast<int>(desc.dwWidth), height = static_cast<int>(desc.dwHeight);
    const DDPIXELFORMAT format = desc.ddpfPixelFormat;
    std::vector<uint16_t> pixels;
    if (format.dwRGBBitCount == 16) {
        pixels.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            std::memcpy(pixels.data() + static_cast<size_t>(y) * width,
                        static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch,
                        static_cast<size_t>(width) * 2);
        }
    }
    primary->Unlock(nullptr);
    if (pixels.empty()) {
        *error = "the primary surface has " + std::to_string(format.dwRGBBitCount) +
                 " bits per pixel, not 16";
        return false;
    }
    const std::string partial = path + ".part";
    if (!hosts::WriteFramePng(partial, pixels.data(), width, height, width * 2, format.dwRBitMask,
                              format.dwGBitMask, format.dwBBitMask, error)) {
        return false;
    }
    if (!MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        *error = "can't rename " + partial + " to " + path;
        return false;
    }
    return true;
}

bool PictureAtMusicStart(winapi::Call call, int64_t*) {
    if (call != winapi::Call::kBassStreamPlay || pictureTaken) return false;
    pictureTaken = true;
    std::string error;
    if (!WritePrimarySurface(picturePath, &error)) {
        std::fprintf(stderr, "loading picture: %s\n", error.c_str());
        std::fflush(stderr);
    }
    return false;
}

}  // namespace

void PictureLoadingScreenAtMusicStart(const std::string& path) {
    picturePath = path;
    pictureTaken = false;
    winapi::SetCallProbe(PictureAtMusicStart);
}

}  // namespace testkit
