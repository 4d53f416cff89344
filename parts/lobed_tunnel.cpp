// Lobed texture tunnel with a shaking picture.
#include "parts/lobed_tunnel.h"

#include <cmath>
#include <vector>

#include "image/numeric.h"
#include "parts/tunnel_lookup.h"
#include "video/display.h"

LobedTunnelPart lobedTunnelPart;

namespace lobed_tunnel {

void BuildTables(uint8_t* depth, uint8_t* angle) {
    // The angle runs through the same sequence in every pass, so what depends on it alone is
    // computed once: the same values, bit for bit.
    const double turn = 6.283185005187988;  // single-precision 6.283185
    const double step = 0.003141592502593994;
    std::vector<double> cosines, sines, lobes;
    std::vector<uint8_t> angleBytes;
    for (double a = 0.0; a < turn; a += step) {
        cosines.push_back(std::cos(a));
        sines.push_back(std::sin(a));
        lobes.push_back(50.0 * std::sin(7.0 * a));
        angleBytes.push_back(static_cast<uint8_t>(TruncToInt(a * 285.20567172864656)));
    }
    const size_t steps = cosines.size();
    for (double d = 0.0; d < 300.0; d += 0.2) {
        const uint8_t depthByte = static_cast<uint8_t>(TruncToInt(d));
        for (size_t k = 0; k < steps; ++k) {
            const double r = d + lobes[k];
            const int32_t x = 160 + TruncToInt(r * cosines[k]);
            const int32_t y = 120 - TruncToInt(r * sines[k]);
            if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) {
                depth[y * kWidth + x] = depthByte;
                angle[y * kWidth + x] = angleBytes[k];
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

    loader = new TgaImage;
    loader->LoadResource(128);
    texture->ConvertFrom(*loader, loader->palette);
    delete loader;

    loader = new TgaImage;
    loader->LoadResource(134);
    picture = new Image(loader->width, loader->height, 16);
    picture->ConvertFrom(*loader, loader->palette);
    delete loader;
    loader = nullptr;

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
    if (Image* target = display.back.Lock(window, nullptr, 0)) {
        if (frame != nullptr) target->ConvertFrom(*frame, nullptr);
        display.back.Unlock(window);
    }
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
