// The lettered pictures: loading screen, captions, logos and the closing text.
#include <string>

#include "noise.h"
#include "pictures.h"
#include "style.h"

namespace art {

using namespace colour;

namespace {

const char* kTitleFont = "DejaVuSans-Bold.ttf";
const char* kBodyFont = "DejaVuSansCondensed-Bold.ttf";

// The largest size, up to `size`, at which the line fits in `width` pixels.
float FitSize(const Font& font, const std::string& text, float size, float width, float tracking) {
    while (size > 6 && font.Measure(text, size, tracking) > width) size -= 0.25f;
    return size;
}

// A line of lettering centred on a keyed strip.
Canvas Caption(int w, int h, const std::string& text, const char* fontFile, float size,
               float tracking, float baseline) {
    Canvas c(w, h, KeyColour());
    Font font(fontFile);
    size = FitSize(font, text, size, float(w) - 8.0f, tracking);
    Mask letters(w, h);
    const float left = (float(w) - font.Measure(text, size, tracking)) / 2.0f;
    font.Draw(letters, text, size, left, baseline, tracking);
    const float cap = font.CapHeight(size);
    PaintLettering(c, letters, Lettering{kGold, kRose, kNight, 1.2f}, int(baseline - cap),
                   int(baseline));
    return c;
}

// Night sky with scattered small stars.
void StarryNight(Canvas& c, uint32_t seed, float horizon) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const float t = float(y) / horizon;
            const float haze = 0.05f * Fbm(float(x) / 80.0f, float(y) / 80.0f, 64, 4, 0.5f, seed);
            c.at(x, y) = Clamp01(DuskSky(std::min(t, 1.0f) * 0.8f) + Rgb{haze, haze * 0.5f, haze});
        }
    }
    Random rnd(seed);
    for (int i = 0; i < c.width * c.height / 220; ++i) {
        const int x = int(rnd.Unit() * float(c.width)), y = int(rnd.Unit() * horizon);
        const float b = 0.25f + 0.75f * rnd.Unit() * rnd.Unit();
        const Rgb tint = Mix(kIvory, kCyan, rnd.Unit());
        c.Blend(x, y, tint, b);
    }
}

}  // namespace

std::vector<uint8_t> MakeLoading() {
    Canvas c(320, 240);
    StarryNight(c, 102, 300.0f);
    DrawGem(c, 160.0f, 64.0f, 30.0f);
    Font title(kTitleFont);
    Mask letters(320, 240);
    const float size = 30.0f, tracking = 3.0f;
    const float width = title.Measure("MORVANITE", size, tracking);
    title.Draw(letters, "MORVANITE", size, (320.0f - width) / 2.0f, 126.0f, tracking);
    PaintLettering(c, letters, Lettering{kGold, kRose, kNight, 2.0f}, 104, 126);
    // The track of the progress bar: x 108 to 215 and rows 142 to 148 stay dark, inside a
    // two-tone frame, so that the white bar reads as a bar filling it.
    for (int y = 138; y <= 152; ++y) {
        for (int x = 104; x <= 219; ++x) {
            const bool outer = y == 138 || y == 152 || x == 104 || x == 219;
            const bool inner = y == 139 || y == 151 || x == 105 || x == 218;
            if (outer)
                c.at(x, y) = Mix(kGold, kRose, float(x - 104) / 115.0f);
            else if (inner)
                c.at(x, y) = kNight;
            else
                c.at(x, y) = Hex(0x06030E);
        }
    }
    Font body(kBodyFont);
    Mask small(320, 240);
    const std::string text = "cargando...";
    body.Draw(small, text, 13.0f, (320.0f - body.Measure(text, 13.0f, 1.0f)) / 2.0f, 172.0f, 1.0f);
    PaintLettering(c, small, Lettering{kBlush, kRose, kNight, 1.0f}, 162, 172);
    return Encode8(c, 0.8f, false);
}

std::vector<uint8_t> MakeCaption1() {
    return Encode8(Caption(256, 25, "MORVANITE", kTitleFont, 19.0f, 9.0f, 19.5f), 0.0f, true);
}

std::vector<uint8_t> MakeCaption2() {
    return Encode8(Caption(172, 24, "DEMO EN TIEMPO REAL", kBodyFont, 17.0f, 1.5f, 18.0f), 0.0f,
                   true);
}

std::vector<uint8_t> MakeCaption3() {
    return Encode8(
        Caption(264, 24, "DOCE EFECTOS · UNA SOLA MÚSICA", kBodyFont, 17.0f, 1.5f, 18.0f), 0.0f,
        true);
}

std::vector<uint8_t> MakeLogo1() {
    Canvas c(160, 18, KeyColour());
    Font font(kTitleFont);
    Mask letters(160, 18);
    const float size = 15.0f, tracking = 2.5f;
    const float width = font.Measure("MORVANITE", size, tracking);
    font.Draw(letters, "MORVANITE", size, (160.0f - width) / 2.0f, 14.0f, tracking);
    PaintLettering(c, letters, Lettering{kIvory, kGold, kNight, 1.5f}, 3, 14);
    DrawGem(c, 9.0f, 9.0f, 7.5f, true);
    DrawGem(c, 151.0f, 9.0f, 7.5f, true);
    return Encode8(c, 0.0f, true);
}

std::vector<uint8_t> MakeLogo2() {
    Canvas c(100, 24, KeyColour());
    Font font(kBodyFont);
    Mask letters(100, 24);
    // The lettering fills the room right of the gem and keeps clear of the right edge: its rim
    // ends at least two key-coloured columns before it, as on the other keyed pictures.
    const float left = 28.0f, right = 100.0f - 2.0f - 1.5f - 1.0f, tracking = 1.0f;
    const float size = FitSize(font, "16 BITS", 17.0f, right - left, tracking);
    font.Draw(letters, "16 BITS", size, left, 18.5f, tracking);
    PaintLettering(c, letters, Lettering{kBlush, kRose, kNight, 1.5f}, 6, 18);
    DrawGem(c, 13.0f, 12.0f, 10.5f, true);
    return Encode8(c, 0.0f, true);
}

std::vector<uint8_t> MakeClosingText() {
    struct Line {
        const char* text;
        bool red;
        float size;
        float gapBefore;
    };
    // The text scrolls in from below: the first rows are empty.
    static const Line kLines[] = {
        {"MORVANITE", true, 40, 250},
        {"una demo en tiempo real", false, 21, 14},
        {"HECHA CON", true, 28, 70},
        {"doce efectos", false, 21, 10},
        {"dibujados píxel a píxel", false, 21, 6},
        {"en un cuadro de 320 x 240", false, 21, 6},
        {"y 65.536 colores", false, 21, 6},
        {"veintiuna imágenes", false, 21, 24},
        {"pintadas con código", false, 21, 6},
        {"una sola música", false, 21, 24},
        {"de principio a fin", false, 21, 6},
        {"LO QUE HAS VISTO", true, 28, 70},
        {"la imagen que se disuelve", false, 21, 10},
        {"la textura que gira", false, 21, 6},
        {"el cuadro que ondula", false, 21, 6},
        {"el campo de luz", false, 21, 6},
        {"el túnel de puntos", false, 21, 6},
        {"los anillos que se cruzan", false, 21, 6},
        {"el túnel de pétalos", false, 21, 6},
        {"el túnel de rayos", false, 21, 6},
        {"el suelo y el techo", false, 21, 6},
        {"el anillo de luces", false, 21, 6},
        {"el árbol en llamas", false, 21, 6},
        {"y estas letras", false, 21, 6},
        {"GRACIAS", true, 36, 80},
        {"a quien mira", false, 21, 12},
        {"a quien escucha", false, 21, 6},
        {"a quien se queda", false, 21, 6},
        {"hasta el final", false, 21, 6},
    };
    Canvas c(320, 1680);
    Font title(kTitleFont), body(kBodyFont);
    Mask white(320, 1680), red(320, 1680);
    float y = 0;
    for (const Line& line : kLines) {
        const Font& font = line.red ? title : body;
        const float tracking = line.red ? 3.0f : 0.5f;
        const float size = FitSize(font, line.text, line.size, 300.0f, tracking);
        y += line.gapBefore + font.CapHeight(size);
        const float w = font.Measure(line.text, size, tracking);
        font.Draw(line.red ? red : white, line.text, size, (320.0f - w) / 2.0f, y, tracking);
        y += size * 0.3f;
    }
    // The last screen, where the scroll stops: rows 1440 to 1679.
    {
        const float size = 48.0f, tracking = 6.0f;
        const float w = title.Measure("FIN", size, tracking);
        title.Draw(red, "FIN", size, (320.0f - w) / 2.0f,
                   1440.0f + 120.0f + title.CapHeight(size) / 2, tracking);
    }
    for (size_t i = 0; i < c.px.size(); ++i) {
        Rgb p = Rgb{1, 1, 1} * white.v[i];
        p = Mix(p, Hex(0xFF2E4C), red.v[i]);
        c.px[i] = p;
    }
    return Encode8(c, 0.0f, false);
}

}  // namespace art
