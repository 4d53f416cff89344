// Tunnel with a picture assembled from flying points.
#include "parts/morph_tunnel.h"

#include <cmath>

#include "image/numeric.h"
#include "parts/back_buffer.h"
#include "parts/pictures.h"
#include "parts/tunnel_lookup.h"
#include "video/display.h"

MorphTunnelPart morphTunnelPart;

namespace morph_tunnel {

namespace {

// The low byte of trunc(value); a value that is no number or infinite gives 0.
uint8_t LowByteOfTrunc(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<uint8_t>(TruncToInt(value));
}

}  // namespace

void BuildTables(uint8_t* angle, uint8_t* depth) {
    for (int32_t row = 0; row < kHeight; ++row) {
        for (int32_t column = 0; column < kWidth; ++column) {
            const float x = static_cast<float>(column - 160);
            const float y = static_cast<float>(120 - row);
            const float z = 128.0f;
            const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
            const float vx = static_cast<float>(x / length);
            const float vy = static_cast<float>(y / length);
            const float vz = static_cast<float>(z / length);
            const double f = double(5000.0f) / std::sqrt(double(vx) * vx + double(vy) * vy);
            const float wallX = static_cast<float>(f * vx);
            const float wallY = static_cast<float>(f * vy);
            const double wallDepth = f * vz - 128.0;
            const int32_t k = row * kWidth + column;
            angle[k] = LowByteOfTrunc(std::atan2(double(wallY), double(wallX)) * 81.48733225307444);
            depth[k] = LowByteOfTrunc(wallDepth * 0.00512);
        }
    }
}

void PlotPoints(uint16_t* frame, const MorphPoint* points, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t x = TruncToInt(points[i].x);
        const int32_t y = TruncToInt(points[i].y);
        if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(kWidth) ||
            static_cast<uint32_t>(y) >= static_cast<uint32_t>(kHeight)) {
            continue;
        }
        frame[y * kWidth + x] = points[i].colour;
    }
}

}  // namespace morph_tunnel

namespace {

int32_t loadDone = 0;
int32_t unloadDone = 0;
bool latched = false;
deciseconds firstT = 0;
uint8_t columnScroll = 0;
uint8_t rowScroll = 0;
uint8_t pictureLevel = 255;

bool IsTable(const Image* image, int32_t bitsPerPixel) {
    return image != nullptr && image->pixels != nullptr && image->width == morph_tunnel::kWidth &&
           image->height == morph_tunnel::kHeight && image->bitsPerPixel == bitsPerPixel;
}

void Destroy(Image*& image) {
    if (image == nullptr) return;
    delete image;
    image = nullptr;
}

}  // namespace

void MorphTunnelPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;

    texture = new Image(256, 256, 16);
    angleTable = new Image(morph_tunnel::kWidth, morph_tunnel::kHeight, 8);
    depthTable = new Image(morph_tunnel::kWidth, morph_tunnel::kHeight, 8);

    pictures::LoadInto(loader, 109, *texture);

    frame = new Image(morph_tunnel::kWidth, morph_tunnel::kHeight, 16);

    if (IsTable(angleTable, 8) && IsTable(depthTable, 8)) {
        morph_tunnel::BuildTables(angleTable->pixels, depthTable->pixels);
    }

    points.steps = 200;
    picture = LoadTgaAs16(147);
    points.PushRandom(picture->width * picture->height, 0, 0, 319, 239);
    points.PushImage(*picture, 0, 0, 0);

    sourceRect = {0, 0, picture->width, picture->height};
    destRect = {0, 0, picture->width, picture->height};
}

void MorphTunnelPart::Render(HWND, Display&, deciseconds t) {
    if (!latched) {
        latched = true;
        firstT = t;
    }
    localTime = t - firstT;

    columnScroll = static_cast<uint8_t>(columnScroll + 2);
    rowScroll = static_cast<uint8_t>(rowScroll + 2);

    uint16_t* pixels = IsTable(frame, 16) ? reinterpret_cast<uint16_t*>(frame->pixels) : nullptr;
    if (pixels != nullptr && IsTable(angleTable, 8) && IsTable(depthTable, 8) &&
        texture != nullptr && texture->pixels != nullptr) {
        tunnel_lookup::Draw(pixels, depthTable->pixels, angleTable->pixels,
                            reinterpret_cast<const uint16_t*>(texture->pixels), rowScroll,
                            columnScroll, morph_tunnel::kWidth * morph_tunnel::kHeight);
    }

    if (points.steps != -1) {
        points.Step();
        if (pixels != nullptr) morph_tunnel::PlotPoints(pixels, points.current, points.count);
    } else {
        if (localTime > 80 && pictureLevel > 3)
            pictureLevel = static_cast<uint8_t>(pictureLevel - 3);
        if (pixels != nullptr && picture != nullptr && picture->pixels != nullptr) {
            frame->BlitSprite(*picture, sourceRect, destRect, pictureLevel, 0);
        }
    }
}

void MorphTunnelPart::Present(HWND window, Display& display, deciseconds) {
    back_buffer::CopyFrame(window, display, frame);
    display.Flip();
}

void MorphTunnelPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
    Destroy(frame);
    Destroy(texture);
    Destroy(angleTable);
    Destroy(depthTable);
    points.Release();
    Destroy(picture);
}
