// Picture that catches fire along its key-coloured pixels: the picture fades in from black, then
// the pixels of its key colour seed a rising flame whose colours are blended slowly onto it.
#include "parts/picture_fire.h"

#include <cstring>

#include "image/numeric.h"
#include "image/tga.h"
#include "video/display.h"
#include "image/pixel_layout.h"

PictureFirePart pictureFirePart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
bool started = false;
deciseconds startTime = 0;
}  // namespace

namespace picture_fire {

void BuildFirePalette(uint8_t* palette) {
    for (int32_t i = 0; i < 256; ++i) {
        uint8_t* entry = palette + 3 * i;
        entry[0] = 0;
        if (i < 64) {
            entry[1] = 0;
            entry[2] = static_cast<uint8_t>(4 * i);
        } else if (i < 192) {
            entry[1] = static_cast<uint8_t>(2 * (i - 64));
            entry[2] = 255;
        } else {
            entry[1] = 255;
            entry[2] = 255;
        }
    }
}

uint16_t FireColour(const uint8_t* entry) {
    const int32_t redBits = PixelLayout.redBits;
    const int32_t greenBits = PixelLayout.greenBits;
    const int32_t blueBits = PixelLayout.blueBits;
    const uint32_t red = static_cast<uint32_t>(entry[2] >> (8 - redBits)) << (greenBits + blueBits);
    const uint32_t green = static_cast<uint32_t>(entry[1] >> (8 - greenBits)) << blueBits;
    const uint32_t blue = entry[0] >> (8 - blueBits);
    return static_cast<uint16_t>(red | green | blue);
}

int32_t FindSeeds(const Image& picture, uint16_t key, int32_t* columns, int32_t* rows,
                  int32_t capacity) {
    int32_t count = 0;
    if (picture.pixels == nullptr || picture.bitsPerPixel != 16) return 0;
    for (int32_t row = 0; row < picture.height; ++row) {
        const uint16_t* line =
            reinterpret_cast<const uint16_t*>(picture.pixels + row * picture.bytesPerRow);
        for (int32_t column = 0; column < picture.width; ++column) {
            if (line[column] != key) continue;
            if (count == capacity) return count;
            columns[count] = column;
            rows[count] = row;
            ++count;
        }
    }
    return count;
}

void FlameStep(uint8_t* heat, uint16_t* fire, const uint16_t* picture, const uint16_t* colours) {
    // Every read is at or after the pixel being written, so each byte is read before it changes.
    for (int32_t q = 0; q < kFlamePixels; ++q) {
        const uint32_t a = (heat[q + 321] + heat[q + 320] + heat[q + 319] + heat[q]) >> 2;
        if (a > 0) {
            heat[q] = static_cast<uint8_t>(a - 1);
            fire[q] = colours[a - 1];
        } else {
            fire[q] = picture[q];
        }
    }
}

}  // namespace picture_fire

void PictureFirePart::Load(HWND, Display& display) {
    if (loadDone) return;
    loadDone = 1;

    frame = new Image(320, 240, 16);
    frameSurface = display.WrapImage(*frame);

    loader = new TgaImage();
    loader->LoadResource(104);
    picture = new Image(320, 240, 16);
    picture->ConvertFrom(*loader, nullptr);
    delete loader;
    loader = nullptr;

    const uint16_t* pixels = reinterpret_cast<const uint16_t*>(picture->pixels);
    keyColour = pixels != nullptr ? pixels[320 * 240 - 1] : 0;
    seedCount = picture_fire::FindSeeds(*picture, keyColour, seedColumns, seedRows,
                                        picture_fire::kMaxSeeds);

    heatMap = new Image(320, 240, 8);
    fireFrame = new Image(320, 240, 16);

    palette = new uint8_t[768];
    picture_fire::BuildFirePalette(palette);
    for (int32_t i = 0; i < 256; ++i) fireColours[i] = picture_fire::FireColour(palette + 3 * i);

    redShift = static_cast<uint8_t>(8 - PixelLayout.redBits);
    greenShift = static_cast<uint8_t>(8 - PixelLayout.greenBits);
    blueShift = static_cast<uint8_t>(8 - PixelLayout.blueBits);
    redPosition = static_cast<uint8_t>(PixelLayout.greenBits + PixelLayout.blueBits);
}

void PictureFirePart::Render(HWND, Display&, deciseconds t) {
    if (!started) {
        started = true;
        startTime = t;
    }
    localTime = t - startTime;
    if (frame == nullptr || frame->pixels == nullptr) return;

    const RECT whole = {0, 0, 320, 240};
    if (localTime <= 40) {
        std::memset(frame->pixels, 0, 320 * 240 * 2);
        frame->BlitSprite(*picture, whole, whole, 255 * localTime / 40, keyColour);
        return;
    }
    if (localTime >= 150) return;
    if (heatMap->pixels == nullptr || fireFrame->pixels == nullptr || picture->pixels == nullptr)
        return;

    uint8_t* heat = heatMap->pixels;
    for (int32_t i = 0; i < seedCount; ++i) {
        const int r = Rand();
        heat[seedRows[i] * 320 + seedColumns[i]] = r > 10000 ? 255 : 0;
    }
    picture_fire::FlameStep(heat, reinterpret_cast<uint16_t*>(fireFrame->pixels),
                            reinterpret_cast<const uint16_t*>(picture->pixels), fireColours);
    frame->BlitSprite(*fireFrame, whole, whole, 10, 0);
}

void PictureFirePart::Present(HWND, Display& display, deciseconds) {
    if (frameSurface != nullptr) display.back.BlitFast(0, 0, frameSurface, nullptr, 0);
    display.Flip();
}

void PictureFirePart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;

    delete frame;
    frame = nullptr;
    delete frameSurface;
    frameSurface = nullptr;
    delete picture;
    picture = nullptr;
    delete heatMap;
    heatMap = nullptr;
    delete fireFrame;
    fireFrame = nullptr;
    delete[] palette;
    palette = nullptr;
}
