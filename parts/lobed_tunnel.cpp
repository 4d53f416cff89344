// Lobed texture tunnel with a shaking picture.
#include "parts/lobed_tunnel.h"

#include <cmath>
#include <vector>

#include "image/numeric.h"
#include "parts/back_buffer.h"
#include "parts/pictures.h"
#include "parts/polar_sweep.h"
#include "parts/tunnel_lookup.h"
#include "video/display.h"

LobedTunnelPart lobedTunnelPart;

namespace lobed_tunnel {

void BuildTables(uint8_t* depth, uint8_t* angle) {
    // P = the single-precision 6.283185; the step is P / 2000 and the angle index a * 1792 / P.
    polar_sweep::Angles angles =
        polar_sweep::MakeAngles(6.283185005187988, 0.003141592502593994, 50.0, 7.0);
    std::vector<uint8_t> angleBytes;
    for (double a = 0.0; a < 6.283185005187988; a += 0.003141592502593994) {
        angleBytes.push_back(static_cast<uint8_t>(TruncToInt(a * 285.20567172864656)));
    }
    const polar_sweep::Frame frame = {kWidth, kHeight, 160, 120};
    std::vector<int32_t> dx(angles.number.size()), dy(angles.number.size());
    int32_t pass = 0;
    for (double d = 0.0; d < 300.0; d += 0.2, ++pass) {
        if (pass % 16 == 0) polar_sweep::DropMissing(angles, d, frame);
        polar_sweep::Offsets(angles, d, dx.data(), dy.data());
        const uint8_t depthByte = static_cast<uint8_t>(TruncToInt(d));
        const size_t count = angles.number.size();
        for (size_t k = 0; k < count; ++k) {
            const int32_t x = 160 + dx[k];
            const int32_t y = 120 - dy[k];
            if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) {
                depth[y * kWidth + x] = depthByte;
                angle[y * kWidth + x] = angleBytes[angles.number[k]];
            }
        }
    }
}

Shake DrawShake() {
    Shake shake;
    shake.dy = Rand() * 5 / 32767;
    shake.dx = Rand() * 5 / 32767;
    return shake;
}

}  // namespace lobed_tunnel

namespace {

using lobed_tunnel::kHeight;
using lobed_tunnel::kWidth;

int32_t loadDone = 0;
int32_t unloadDone = 0;
uint8_t depthScroll = 0;
uint8_t angleScroll = 0;

bool IsImage(const Image* image, int32_t width, int32_t height, int32_t bitsPerPixel) {
    return image != nullptr && image->pixels != nullptr && image->width == width &&
           image->height == height && image->bitsPerPixel == bitsPerPixel;
}

void Destroy(Image*& image) {
    if (image == nullptr) return;
    delete image;
    image = nullptr;
}

}  // namespace

void LobedTunnelPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;

    texture = new Image(256, 256, 16);
    depthTable = new Image(kWidth, kHeight, 8);
    angleTable = new Image(kWidth, kHeight, 8);

    pictures::LoadInto(loader, 128, *texture);
    picture = pictures::Load(loader, 134);

    frame = new Image(kWidth, kHeight, 16);

    if (IsImage(depthTable, kWidth, kHeight, 8) && IsImage(angleTable, kWidth, kHeight, 8)) {
        lobed_tunnel::BuildTables(depthTable->pixels, angleTable->pixels);
    }
}

void LobedTunnelPart::Render(HWND, Display&, deciseconds) {
    depthScroll = static_cast<uint8_t>(depthScroll + 1);
    angleScroll = static_cast<uint8_t>(angleScroll + 6);

    const bool drawable = IsImage(frame, kWidth, kHeight, 16);
    if (drawable && IsImage(depthTable, kWidth, kHeight, 8) &&
        IsImage(angleTable, kWidth, kHeight, 8) && IsImage(texture, 256, 256, 16)) {
        tunnel_lookup::Draw(reinterpret_cast<uint16_t*>(frame->pixels), angleTable->pixels,
                            depthTable->pixels, reinterpret_cast<const uint16_t*>(texture->pixels),
                            angleScroll, depthScroll, kWidth * kHeight);
    }

    const lobed_tunnel::Shake shake = lobed_tunnel::DrawShake();
    if (drawable && picture != nullptr && picture->pixels != nullptr) {
        const RECT source = {0, 0, picture->width, picture->height};
        const RECT dest = {60 + shake.dx, 50 + shake.dy, 60 + shake.dx + picture->width,
                           50 + shake.dy + picture->height};
        frame->BlitSprite(*picture, source, dest, 255, 0);
    }
}

void LobedTunnelPart::Present(HWND window, Display& display, deciseconds) {
    back_buffer::CopyFrame(window, display, frame);
    display.Flip();
}

void LobedTunnelPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
    Destroy(frame);
    Destroy(texture);
    Destroy(picture);
    Destroy(depthTable);
    Destroy(angleTable);
}
