// Opening picture with fading strips and a zoom-blur dissolve.
#include "parts/opening_zoom_blur.h"

#include <cmath>

#include "image/numeric.h"
#include "parts/pictures.h"

OpeningZoomBlurPart openingZoomBlurPart;

namespace {

int32_t loadDone = 0;
int32_t unloadDone = 0;
bool renderLatched = false;
deciseconds renderT0 = 0;

constexpr int32_t kPictureId = 105;
constexpr int32_t kStripIds[3] = {131, 132, 133};
constexpr double kPiOver30 = 0.10471975008646647;  // single-precision 3.1415925 / 30
constexpr double kPiOver40 = 0.07853981256484986;  // single-precision 3.1415925 / 40

void DrawStrip(Image& frame, const Image* strip, uint16_t key, int32_t x, int32_t y,
               uint8_t level) {
    if (strip == nullptr) return;
    const RECT source = {0, 0, strip->width, strip->height};
    const RECT dest = {x, y, x + strip->width, y + strip->height};
    frame.BlitSprite(*strip, source, dest, level, key);
}

}  // namespace

namespace opening {

StripPlacement PlaceStrip(int32_t strip, int32_t localTime) {
    const int32_t l = localTime;
    StripPlacement placement = {false, 0, 0, 0};
    double angle = 0.0;
    switch (strip) {
        case 1:
            if (!(l > 40 && l < 70)) return placement;
            angle = double(l - 40) * kPiOver30;
            placement.x = 70 - l;
            placement.y = 120 - l;
            break;
        case 2:
            if (!(l > 50 && l < 90)) return placement;
            angle = double(l - 50) * kPiOver40;
            placement.x = l + 10;
            placement.y = l + 100;
            break;
        case 3:
            if (!(l > 70 && l < 100)) return placement;
            angle = double(l - 70) * kPiOver30;
            placement.x = (l >> 2) + 20;
            placement.y = 130 - l;
            break;
        default:
            return placement;
    }
    placement.active = true;
    placement.level = static_cast<uint8_t>(TruncToInt(255.0 * std::sin(angle)));
    return placement;
}

}  // namespace opening

void OpeningZoomBlurPart::Load(HWND, Display& display) {
    if (loadDone) return;
    loadDone = 1;

    work = new Image(zoomblur::kWidth, zoomblur::kHeight, 16);
    shown = new Image(zoomblur::kWidth, zoomblur::kHeight, 16);

    pictures::LoadInto(pictureLoader, kPictureId, *work);

    Image** strips[3] = {&strip1, &strip2, &strip3};
    uint16_t* keys[3] = {&key1, &key2, &key3};
    for (int i = 0; i < 3; ++i) {
        *strips[i] = pictures::Load(stripLoader, kStripIds[i]);
        *keys[i] = pictures::FirstPixel(*strips[i]);
    }

    shownSurface = display.WrapImage(*shown);
    zoomblur::BuildZoomMaps(columnMap, rowMap);
    frameCount = 0;
}

void OpeningZoomBlurPart::Render(HWND, Display& display, deciseconds t) {
    if (!renderLatched) {
        renderLatched = true;
        renderT0 = t;
    }
    localTime = static_cast<int32_t>(static_cast<uint32_t>(t) - static_cast<uint32_t>(renderT0));
    if (work == nullptr || shown == nullptr) return;
    const int32_t l = localTime;

    if (l <= 100) {
        shown->ConvertFrom(*work, nullptr);
    } else {
        // Dissolve: enlarge what is shown by 1/0.98 into the work image, then soften it back.
        zoomblur::ZoomFromMaps(*work, *shown, columnMap, rowMap);
        zoomblur::SoftenEightNeighbours(*shown, *work);
    }

    const Image* strips[3] = {strip1, strip2, strip3};
    const uint16_t keys[3] = {key1, key2, key3};
    for (int32_t i = 0; i < 3; ++i) {
        const opening::StripPlacement strip = opening::PlaceStrip(i + 1, l);
        if (!strip.active) continue;
        level = strip.level;
        DrawStrip(*shown, strips[i], keys[i], strip.x, strip.y, level);
    }

    if (l > 120) {
        // Strobe: white on every fourth frame, black on the others. Neither key occurs in its
        // image, so the whole frame takes the colour.
        const RECT whole = {0, 0, zoomblur::kWidth, zoomblur::kHeight};
        if (frameCount % 4 == 0) {
            if (display.white != nullptr) shown->BlitSprite(*display.white, whole, whole, 255, 0);
        } else {
            if (display.black != nullptr) shown->BlitSprite(*display.black, whole, whole, 255, 255);
        }
    }
}

void OpeningZoomBlurPart::Present(HWND, Display& display, deciseconds) {
    if (shownSurface != nullptr) display.back.BlitFast(0, 0, shownSurface, nullptr, 0);
    display.Flip();
    ++frameCount;
}

void OpeningZoomBlurPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
    delete work;
    work = nullptr;
    delete shown;
    shown = nullptr;
    delete shownSurface;
    shownSurface = nullptr;
    delete strip1;
    strip1 = nullptr;
    delete strip2;
    strip2 = nullptr;
    delete strip3;
    strip3 = nullptr;
}
