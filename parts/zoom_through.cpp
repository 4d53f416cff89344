// Wobbling picture that zooms through to a glowing backdrop.
#include "parts/zoom_through.h"

#include <cmath>

#include "image/numeric.h"
#include "image/tga.h"
#include "parts/back_buffer.h"
#include "video/display.h"

ZoomThroughPart zoomThroughPart;

namespace {

int32_t loadDone = 0;
int32_t unloadDone = 0;
bool renderLatched = false;
deciseconds t0 = 0;
double phase = 0.0;
double zoom = 1.0;
double angle = 0.0;

constexpr int32_t kPictureId = 112;
constexpr int32_t kBackdropId = 136;
constexpr double kPhaseStep = 0.20943950666666666;
constexpr double kAngleStep = 0.008726646111111111;

using zoomthrough::kHeight;
using zoomthrough::kWidth;

bool IsFrameImage(const Image& image) {
    return image.pixels != nullptr && image.width == kWidth && image.height == kHeight &&
           image.bitsPerPixel == 16 && image.bytesPerRow == kWidth * 2;
}

}  // namespace

namespace zoomthrough {

void BuildWave(int32_t (&wave)[kWidth], double phase, int32_t localTime) {
    const double amplitude = double(20 - localTime);
    for (int32_t x = 0; x < kWidth; ++x) {
        wave[x] = TruncToInt(std::sin(double(x) * double(0.1f) + phase) * amplitude);
    }
}

void DrawWave(Image& frame, const Image& picture, const int32_t (&wave)[kWidth]) {
    if (!IsFrameImage(frame) || !IsFrameImage(picture)) return;
    const uint16_t* src = reinterpret_cast<const uint16_t*>(picture.pixels);
    uint16_t* out = reinterpret_cast<uint16_t*>(frame.pixels);
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const int64_t shifted = int64_t(y) + wave[x];
            out[y * kWidth + x] =
                (shifted < 0 || shifted >= kHeight) ? 0 : src[shifted * kWidth + x];
        }
    }
}

void BuildZoomMaps(int32_t (&columns)[kWidth], int32_t (&rows)[kHeight], double zoom) {
    for (int32_t x = 0; x < kWidth; ++x) columns[x] = TruncToInt(double(x - 160) * zoom + 160.0);
    for (int32_t y = 0; y < kHeight; ++y) rows[y] = TruncToInt(double(y - 120) * zoom + 120.0);
}

void DrawZoomThrough(Image& frame, const Image& picture, const Image& backdrop,
                     const int32_t (&columns)[kWidth], const int32_t (&rows)[kHeight]) {
    if (!IsFrameImage(frame) || !IsFrameImage(picture) || !IsFrameImage(backdrop)) return;
    for (int32_t c : columns) {
        if (c < 0 || c >= kWidth) return;
    }
    for (int32_t r : rows) {
        if (r < 0 || r >= kHeight) return;
    }
    const uint16_t* src = reinterpret_cast<const uint16_t*>(picture.pixels);
    const uint16_t* back = reinterpret_cast<const uint16_t*>(backdrop.pixels);
    uint16_t* out = reinterpret_cast<uint16_t*>(frame.pixels);
    for (int32_t y = 0; y < kHeight; ++y) {
        const uint16_t* srcRow = src + rows[y] * kWidth;
        const uint16_t* backRow = back + y * kWidth;
        uint16_t* outRow = out + y * kWidth;
        for (int32_t x = 0; x < kWidth; ++x) {
            const uint16_t v = srcRow[columns[x]];
            outRow[x] = v != 0 ? v : backRow[x];
        }
    }
}

void AdvanceZoom(double& zoom, double& angle) {
    zoom = std::cos(angle);
    if (zoom < 0.0) zoom = 0.0;
    angle += kAngleStep;
}

}  // namespace zoomthrough

void ZoomThroughPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;
    picture = LoadTgaAs16(kPictureId);
    backdrop = LoadTgaAs16(kBackdropId);
    frame = new Image(kWidth, kHeight, 16);
}

void ZoomThroughPart::Render(HWND, Display&, deciseconds t) {
    if (!renderLatched) {
        renderLatched = true;
        t0 = t;
    }
    localTime = static_cast<int32_t>(static_cast<uint32_t>(t) - static_cast<uint32_t>(t0));
    const int32_t l = localTime;
    const bool ready = frame != nullptr && picture != nullptr && backdrop != nullptr;

    if (l < 20) {
        zoomthrough::BuildWave(wave, phase, l);
        if (ready) zoomthrough::DrawWave(*frame, *picture, wave);
    }
    phase += kPhaseStep;

    // From 20 to 30 the last wave frame is held.
    if (l > 30) {
        zoomthrough::BuildZoomMaps(columnMap, rowMap, zoom);
        if (ready) zoomthrough::DrawZoomThrough(*frame, *picture, *backdrop, columnMap, rowMap);
        zoomthrough::AdvanceZoom(zoom, angle);
    }
}

void ZoomThroughPart::Present(HWND window, Display& display, deciseconds) {
    // A failed lock (lost back buffer) skips this frame's copy; the flip restores the chain.
    if (frame != nullptr) back_buffer::CopyFrame(window, display, frame);
    display.Flip();
}

void ZoomThroughPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
    delete frame;
    frame = nullptr;
    delete picture;
    picture = nullptr;
    delete backdrop;
    backdrop = nullptr;
}
