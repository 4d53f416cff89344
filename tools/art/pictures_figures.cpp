// The figures, the balls of light and the icon.
#include "ico_write.h"
#include "pictures.h"
#include "style.h"

namespace art {

using namespace colour;

std::vector<uint8_t> MakeFigure() {
    // A robed figure holding the gem up over its head, on the key colour.
    Canvas c(92, 150, KeyColour());
    const std::vector<Limb> body{
        {46, 31, 46, 31, 8.5f, 8.5f},                                   // head
        {46, 38, 46, 46, 4.0f, 4.5f},                                   // neck
        {46, 50, 46, 78, 13.0f, 10.0f},                                 // chest
        {46, 66, 46, 140, 10.0f, 23.0f},                                // robe
        {35, 50, 25, 32, 5.0f, 4.0f},                                   // upper arms
        {57, 50, 67, 32, 5.0f, 4.0f},    {25, 32, 36, 17, 4.0f, 3.2f},  // forearms
        {67, 32, 56, 17, 4.0f, 3.2f},
    };
    FigureStyle style;
    PaintFigure(c, body, style, true);
    DrawGem(c, 46.0f, 10.0f, 9.0f, true);
    return Encode8(c, 0.0f, true);
}

std::vector<uint8_t> MakeDancer() {
    // A dancer in an arabesque, leaning forward, one leg stretched behind, on pure black.
    Canvas c(200, 154);
    const std::vector<Limb> body{
        {128, 27, 128, 27, 9.0f, 9.0f},                                      // head
        {125, 35, 121, 42, 4.0f, 4.5f},                                      // neck
        {120, 46, 104, 76, 11.0f, 8.5f},                                     // torso
        {118, 46, 142, 34, 4.5f, 3.8f},                                      // front arm
        {142, 34, 168, 16, 3.8f, 3.0f},   {114, 48, 92, 44, 4.5f, 3.8f},     // back arm
        {92, 44, 66, 36, 3.8f, 3.0f},     {104, 80, 112, 112, 7.0f, 5.0f},   // standing leg
        {112, 112, 116, 146, 5.0f, 3.2f}, {116, 146, 124, 148, 3.0f, 2.5f},  // foot
        {100, 78, 70, 84, 7.0f, 5.0f},                                       // raised leg
        {70, 84, 36, 78, 5.0f, 3.0f},     {82, 80, 124, 82, 6.0f, 6.0f},     // skirt
    };
    FigureStyle style;
    style.dark = Hex(0x2A1450);
    style.body = kPlum;
    style.light = kIvory;
    style.rimLight = kGold;
    PaintFigure(c, body, style, true);
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
            Rgb sum;
            float cover = 0;
            for (int j = 0; j < 4; ++j) {
                for (int i = 0; i < 4; ++i) {
                    float a;
                    const Rgb s = GemAt(float(x) + (float(i) + 0.5f) / 4.0f,
                                        float(y) + (float(j) + 0.5f) / 4.0f, float(size) * 0.5f,
                                        float(size) * 0.5f, r, a);
                    sum = sum + s * a;
                    cover += a;
                }
            }
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

}  // namespace art
