// Rotating and zooming texture blended with a picture.
#include "parts/rotozoom_picture.h"

#include <cmath>
#include <cstring>

#include "image/numeric.h"
#include "parts/pictures.h"
#include "image/pixel_layout.h"

RotozoomPicturePart rotozoomPicturePart;

namespace {

int32_t loadDone = 0;
int32_t unloadDone = 0;
bool renderLatched = false;
deciseconds renderT0 = 0;

constexpr int32_t kTextureId = 123;
constexpr int32_t kPictureId = 124;
constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
constexpr int32_t kTextureSize = 256;
constexpr double kZoomLimit = 0.05;
constexpr double kZoomStep = 0.0002;
constexpr double kAngleStep = 0.01;

bool IsPacked16(const Image& image, int32_t width, int32_t height) {
    return image.pixels != nullptr && image.bitsPerPixel == 16 && image.width == width &&
           image.height == height && image.bytesPerRow == width * 2;
}

// A 16-bit word with only bit n set, as the processor's shift leaves it (none beyond bit 15).
uint16_t Bit(int32_t n) {
    const uint32_t count = static_cast<uint32_t>(n) & 31;
    return count < 16 ? static_cast<uint16_t>(1u << count) : 0;
}

void WhiteOut(Image& frame, const Display& display) {
    if (display.white == nullptr) return;
    const RECT whole = {0, 0, kWidth, kHeight};
    frame.BlitSprite(*display.white, whole, whole, 255, 0);
}

}  // namespace

namespace rotozoom {

uint16_t HalvingMask() {
    const int32_t b = PixelLayout.blueBits;
    const int32_t g = PixelLayout.greenBits;
    const int32_t r = PixelLayout.redBits;
    return static_cast<uint16_t>(~(Bit(b + g + r - 1) | Bit(b + g - 1) | Bit(b - 1)));
}

void HalveChannels(Image& image) {
    if (image.pixels == nullptr || image.bitsPerPixel != 16 || image.width <= 0 ||
        image.height <= 0 || image.bytesPerRow != image.width * 2)
        return;
    const uint16_t mask = HalvingMask();
    uint16_t* pixels = reinterpret_cast<uint16_t*>(image.pixels);
    const int32_t count = image.width * image.height;
    for (int32_t i = 0; i < count; ++i) pixels[i] = static_cast<uint16_t>((pixels[i] >> 1) & mask);
}

void DrawRotozoom(Image& frame, const Image& texture, const Image& picture, int32_t p, int32_t q) {
    if (!IsPacked16(frame, kWidth, kHeight) || !IsPacked16(picture, kWidth, kHeight) ||
        !IsPacked16(texture, kTextureSize, kTextureSize))
        return;
    const uint16_t* texels = reinterpret_cast<const uint16_t*>(texture.pixels);
    const uint16_t* pic = reinterpret_cast<const uint16_t*>(picture.pixels);
    uint16_t* out = reinterpret_cast<uint16_t*>(frame.pixels);
    const uint32_t stepU = static_cast<uint32_t>(p);
    const uint32_t stepV = static_cast<uint32_t>(q);
    uint32_t rowU = stepV;  // U and V at the start of row 0
    uint32_t rowV = stepU;
    for (int32_t y = 0; y < kHeight; ++y) {
        uint32_t u = rowU;
        uint32_t v = rowV;
        const int32_t row = y * kWidth;
        for (int32_t x = 0; x < kWidth; x += 2) {
            u += stepU;
            v += stepV;
            const uint32_t left = texels[(v & 0xFF00) + ((u & 0xFFFF) >> 8)];
            u += stepU;
            v += stepV;
            const uint32_t right = texels[(v & 0xFF00) + ((u & 0xFFFF) >> 8)];
            // Two texels and two picture pixels as 32-bit words, the left pixel in the low half.
            const uint32_t pair =
                (right << 16 | left) + (uint32_t(pic[row + x + 1]) << 16 | uint32_t(pic[row + x]));
            out[row + x] = static_cast<uint16_t>(pair);
            out[row + x + 1] = static_cast<uint16_t>(pair >> 16);
        }
        rowU -= stepV;
        rowV += stepU;
    }
}

void AdvanceZoom(double& zoom, double& zoomStep) {
    zoom += zoomStep;
    if (zoom > kZoomLimit) zoomStep = -kZoomStep;
    if (zoom < -kZoomLimit) zoomStep = kZoomStep;
}

double AngleStepAt(int32_t localTime) {
    const int32_t l = localTime;
    if ((l >= 40 && l <= 57) || (l >= 74 && l <= 91)) return -kAngleStep;
    return kAngleStep;
}

bool FlashAt(int32_t localTime) {
    const int32_t l = localTime;
    return l == 40 || l == 57 || l == 74 || (l >= 91 && l % 2 == 0);
}

}  // namespace rotozoom

void RotozoomPicturePart::Load(HWND, Display& display) {
    if (loadDone) return;
    loadDone = 1;

    texture = pictures::Load(loader, kTextureId);
    rotozoom::HalveChannels(*texture);
    frame = new Image(kWidth, kHeight, 16);
    picture = pictures::Load(loader, kPictureId);
    rotozoom::HalveChannels(*picture);
    frameSurface = display.WrapImage(*frame);

    angle = 0.0;
    angleStep = kAngleStep;
    zoom = 0.0;
    zoomStep = kZoomStep;
}

void RotozoomPicturePart::Render(HWND, Display& display, deciseconds t) {
    if (!renderLatched) {
        renderLatched = true;
        renderT0 = t;
    }
    localTime = static_cast<int32_t>(static_cast<uint32_t>(t) - static_cast<uint32_t>(renderT0));
    if (frame == nullptr || picture == nullptr || texture == nullptr) return;
    const int32_t l = localTime;

    if (l < 20) {
        // Fade the picture in over white.
        if (frame->pixels != nullptr && frame->bytesPerRow == frame->width * 2)
            std::memset(frame->pixels, 0xFF, size_t(frame->bytesPerRow) * size_t(frame->height));
        const RECT whole = {0, 0, kWidth, kHeight};
        frame->BlitSprite(*picture, whole, whole, l * 255 / 20, 48);
        return;
    }
    if (l < 22) {
        WhiteOut(*frame, display);
        return;
    }

    const int32_t p = TruncToInt(std::cos(angle) * zoom * 65536.0);
    const int32_t q = TruncToInt(std::sin(angle) * zoom * 65536.0);
    rotozoom::DrawRotozoom(*frame, *texture, *picture, p, q);

    angleStep = rotozoom::AngleStepAt(l);
    if (rotozoom::FlashAt(l)) WhiteOut(*frame, display);

    angle += angleStep;
    rotozoom::AdvanceZoom(zoom, zoomStep);
}

void RotozoomPicturePart::Present(HWND, Display& display, deciseconds) {
    if (frameSurface != nullptr) display.back.Blit(nullptr, frameSurface, nullptr, 0, nullptr);
    display.Flip();
}

void RotozoomPicturePart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
    delete texture;
    texture = nullptr;
    delete frame;
    frame = nullptr;
    delete frameSurface;
    frameSurface = nullptr;
    delete picture;
    picture = nullptr;
}
