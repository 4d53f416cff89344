// The figures, the balls of light and the icon.
#include "hosts/common/png_write.h"
#include "ico_write.h"
#include "pictures.h"
#include "style.h"

namespace art {

using namespace colour;

std::vector<uint8_t> MakeFigure() {
    // A robed figure holding the gem up over its head, on the key colour.
    Canvas c(92, 150, KeyColour());
    const std::vector<Limb> body{
        {46, 29, 46, 31, 7.5f, 7.0f},                                  // head
        {46, 38, 46, 45, 3.2f, 3.8f},                                  // neck
        {34, 49, 58, 49, 4.5f, 4.5f},                                  // shoulders
        {46, 50, 46, 80, 10.5f, 7.5f},                                 // chest to waist
        {46, 78, 46, 141, 8.0f, 24.0f},                                // robe
        {34, 49, 24, 32, 4.2f, 3.6f},                                  // upper arms
        {58, 49, 68, 32, 4.2f, 3.6f},   {24, 32, 38, 17, 3.6f, 2.8f},  // forearms
        {68, 32, 54, 17, 3.6f, 2.8f},
    };
    FigureStyle style;
    style.body = kPlum;
    style.blend = 2.0f;
    PaintFigure(c, body, style, true);
    DrawGem(c, 46.0f, 10.0f, 9.0f, true);
    return Encode8(c, 0.0f, true);
}

std::vector<uint8_t> MakeDancer() {
    // A dancer in an arabesque, leaning forward, one leg stretched behind, on pure black.
    Canvas c(200, 154);
    const std::vector<Limb> body{
        {134, 26, 134, 26, 10.5f, 10.5f},                                    // head
        {141, 15, 141, 15, 5.0f, 5.0f},                                      // hair
        {129, 36, 124, 45, 5.0f, 5.5f},                                      // neck
        {124, 47, 105, 82, 13.0f, 9.5f},                                     // torso
        {124, 48, 148, 34, 6.0f, 5.0f},                                      // front arm
        {148, 34, 176, 15, 5.0f, 3.5f},   {116, 50, 90, 44, 6.0f, 5.0f},     // back arm
        {90, 44, 62, 34, 5.0f, 3.5f},     {106, 86, 112, 118, 9.0f, 6.5f},   // standing leg
        {112, 118, 116, 145, 6.5f, 4.0f}, {116, 146, 127, 149, 3.5f, 2.5f},  // foot
        {98, 84, 64, 88, 9.0f, 6.5f},                                        // raised leg
        {64, 88, 29, 80, 6.5f, 3.5f},     {29, 80, 16, 76, 3.2f, 2.0f},
        {72, 88, 136, 78, 4.0f, 4.0f},  // skirt, a flat disc seen from the side
        {80, 92, 130, 84, 6.0f, 6.0f},    {84, 82, 124, 76, 5.0f, 5.0f},
    };
    FigureStyle style;
    style.dark = kPlum;
    style.body = kRose;
    style.light = kIvory;
    style.rimLight = kGold;
    style.blend = 2.5f;
    PaintFigure(c, body, style, false);
    return Encode8(c, 0.6f, false);
}

namespace {

// A 32x32 ball of light: white core, coloured halo, pure black from radius 13 outwards.
Canvas Ball(Rgb tint) {
    Canvas c(32, 32);
    ShadeSupersampled(c, 4, [&](float x, float y) {
        const float r = std::hypot(x - 16.0f, y - 16.0f);
        const float core = std::exp(-(r / 3.2f) * (r / 3.2f));
        const float halo = std::exp(-(r / 6.5f) * (r / 6.5f)) * (1.0f - Smooth(9.0f, 13.0f, r));
        return Clamp01(tint * (halo * 1.1f) + Rgb{1, 1, 1} * core);
    });
    return c;
}

}  // namespace

std::vector<uint8_t> MakeBallBlue() {
    return Encode24(Ball(Hex(0x5AA0FF)), false);
}
std::vector<uint8_t> MakeBallOrange() {
    return Encode24(Ball(Hex(0xFF9030)), false);
}
std::vector<uint8_t> MakeBallGreen() {
    return Encode24(Ball(Hex(0x60FF70)), false);
}

namespace {

IconImage IconOf(int size) {
    const float r = float(size) * 0.5f - 0.3f;
    Canvas c(size, size, kRose);
    std::vector<uint8_t> transparent(size_t(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float cover;
            const Rgb sum = GemCoverage(x, y, float(size) * 0.5f, float(size) * 0.5f, r, cover);
            transparent[size_t(y) * size + x] = cover < 8 ? 1 : 0;
            if (cover >= 8) c.at(x, y) = sum * (1.0f / cover);
        }
    }
    QuantizeOptions options;
    options.colours = 15;
    options.posterize = 0;
    options.dither = 0.0f;
    const Indexed q = Quantize(c, options);
    IconImage im;
    im.size = size;
    for (int i = 0; i < 15; ++i) im.palette[size_t(i) + 1] = q.palette[size_t(i)];
    im.index.resize(q.index.size());
    for (size_t i = 0; i < q.index.size(); ++i) im.index[i] = uint8_t(q.index[i] + 1);
    im.transparent = transparent;
    return im;
}

}  // namespace

std::vector<uint8_t> MakeIcon() {
    return EncodeIco({IconOf(16), IconOf(32)});
}

namespace {

// The emblem for desktop menus: the gem in full colour, its edge smoothed into transparency.
std::vector<uint8_t> DesktopIcon(int size) {
    const float r = float(size) * 0.5f - float(size) / 32.0f;
    std::vector<uint8_t> rgba(size_t(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float cover;
            const Rgb sum = GemCoverage(x, y, float(size) * 0.5f, float(size) * 0.5f, r, cover);
            const Rgb c = cover > 0 ? Clamp01(sum * (1.0f / cover)) : Rgb{};
            uint8_t* p = &rgba[(size_t(y) * size + x) * 4];
            p[0] = uint8_t(c.r * 255.0f + 0.5f);
            p[1] = uint8_t(c.g * 255.0f + 0.5f);
            p[2] = uint8_t(c.b * 255.0f + 0.5f);
            p[3] = uint8_t(cover / 16.0f * 255.0f + 0.5f);
        }
    }
    return hosts::EncodePng({rgba.data(), size, size, 4, size * 4});
}

}  // namespace

std::vector<uint8_t> MakeDesktopIcon48() {
    return DesktopIcon(48);
}

std::vector<uint8_t> MakeDesktopIcon256() {
    return DesktopIcon(256);
}

}  // namespace art
