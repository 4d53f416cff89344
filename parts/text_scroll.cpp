// Zooming text scroller: a tall picture of text climbs one row per frame through a breathing zoom
// about the screen centre, with six turning rings of glow sprites added over it.
#include "parts/text_scroll.h"

#include <cmath>

#include "image/numeric.h"
#include "image/tga.h"
#include "parts/sprite_add.h"
#include "video/display.h"

TextScrollPart textScrollPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
int32_t scroll = 0;  // strip row at the top of the window
double theta = 0.0;  // ring angle, also drives the zoom

// Single-precision constants as the program holds them.
constexpr float kZoomMiddle = 0.9f;
constexpr float kZoomSwing = 0.1f;
constexpr float kRingStep = 0.7853981f;
constexpr float kRingEnd = 5.969025611877441f;
// Two degrees as the program holds it: the single-precision 3.1415925 divided by 90, in double.
constexpr double kThetaStep = 0.03490658336215549;
}  // namespace

namespace text_scroll {

double ZoomFactor(double theta) {
    return double(kZoomMiddle) - std::sin(theta) * double(kZoomSwing);
}

void BuildZoomMaps(double s, int32_t* columns, int32_t* rows) {
    for (int32_t i = 0; i < 320; ++i) columns[i] = TruncToInt(s * (i - 160) + 160.0);
    for (int32_t i = 0; i < 240; ++i) rows[i] = TruncToInt(s * (i - 120) + 120.0);
}

void CopyZoomedWindow(Image& frame, const Image& strip, int32_t scroll, const int32_t* columns,
                      const int32_t* rows) {
    if (frame.pixels == nullptr || strip.pixels == nullptr) return;
    if (frame.bitsPerPixel != 16 || strip.bitsPerPixel != 16) return;
    if (frame.width < 320 || frame.height < 240) return;
    for (int32_t i = 0; i < 320; ++i)
        if (columns[i] < 0 || columns[i] >= strip.width) return;
    for (int32_t i = 0; i < 240; ++i) {
        const int64_t row = int64_t(scroll) + rows[i];
        if (row < 0 || row >= strip.height) return;
    }

    for (int32_t r = 0; r < 240; ++r) {
        const uint16_t* source = reinterpret_cast<const uint16_t*>(
            strip.pixels + (scroll + rows[r]) * strip.bytesPerRow);
        uint16_t* line = reinterpret_cast<uint16_t*>(frame.pixels + r * frame.bytesPerRow);
        for (int32_t c = 0; c < 320; ++c) line[c] = source[columns[c]];
    }
}

void RingPositions(double theta, int32_t* xs, int32_t* ys) {
    int32_t k = 0;
    for (int32_t h = 30; h <= 180; h += 30) {
        for (float a = 0.0f; a < kRingEnd; a = float(double(a) + kRingStep)) {
            const double angle = a + theta;
            ys[k] = TruncToInt(h - std::sin(angle) * 25.0);
            xs[k] = TruncToInt(std::cos(angle) * 100.0 + 144.0);
            ++k;
        }
    }
}

}  // namespace text_scroll

void TextScrollPart::Load(HWND, Display& display) {
    if (loadDone) return;
    loadDone = 1;

    strip = LoadTgaAs16(113);
    sprite = LoadTgaAs16(115);
    frame = new Image(320, 240, 16);
    frameSurface = display.WrapImage(*frame);
}

void TextScrollPart::Render(HWND, Display&, deciseconds) {
    if (frame == nullptr) return;

    text_scroll::BuildZoomMaps(text_scroll::ZoomFactor(theta), columnMap, rowMap);
    text_scroll::CopyZoomedWindow(*frame, *strip, scroll, columnMap, rowMap);
    // The last 240 rows of the strip are as far as the text goes.
    if (scroll < strip->height - 240) ++scroll;

    int32_t xs[text_scroll::kRingSprites];
    int32_t ys[text_scroll::kRingSprites];
    text_scroll::RingPositions(theta, xs, ys);
    for (int32_t i = 0; i < text_scroll::kRingSprites; ++i)
        AddSprite(*frame, xs[i], ys[i], *sprite);

    theta = theta + kThetaStep;
}

void TextScrollPart::Present(HWND, Display& display, deciseconds) {
    if (frameSurface != nullptr) display.back.BlitFast(0, 0, frameSurface, nullptr, 0);
    display.Flip();
}

void TextScrollPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;

    delete frame;
    frame = nullptr;
    delete frameSurface;
    frameSurface = nullptr;
    delete strip;
    strip = nullptr;
    delete sprite;
    sprite = nullptr;
}
