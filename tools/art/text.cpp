// FreeType rendering of text lines into coverage masks, with kerning and UTF-8 input.
#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace art {

namespace {

std::vector<char32_t> DecodeUtf8(const std::string& s) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 7);
        for (int k = 1; k <= extra && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += size_t(extra) + 1;
    }
    return out;
}

FT_Face Face(void* f) {
    return static_cast<FT_Face>(f);
}

void SetSize(FT_Face face, float pixelSize) {
    FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(pixelSize * 64.0f)), 72, 72);
}

}  // namespace

std::string FontPath(const std::string& fileName) {
    return "/usr/share/fonts/truetype/dejavu/" + fileName;
}

Font::Font(const std::string& fileName) {
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) {
        std::fprintf(stderr, "text: FreeType did not start\n");
        std::exit(1);
    }
    library_ = lib;
    FT_Face face;
    if (FT_New_Face(lib, FontPath(fileName).c_str(), 0, &face)) {
        std::fprintf(stderr, "text: cannot open %s\n", FontPath(fileName).c_str());
        std::exit(1);
    }
    face_ = face;
}

Font::~Font() {
    FT_Done_Face(Face(face_));
    FT_Done_FreeType(static_cast<FT_Library>(library_));
}

float Font::CapHeight(float pixelSize) const {
    FT_Face face = Face(face_);
    SetSize(face, pixelSize);
    if (FT_Load_Char(face, 'H', FT_LOAD_DEFAULT)) return pixelSize * 0.73f;
    return float(face->glyph->metrics.height) / 64.0f;
}

float Font::Measure(const std::string& text, float pixelSize, float tracking) const {
    FT_Face face = Face(face_);
    SetSize(face, pixelSize);
    float width = 0;
    FT_UInt previous = 0;
    for (char32_t cp : DecodeUtf8(text)) {
        const FT_UInt glyph = FT_Get_Char_Index(face, cp);
        if (previous && glyph) {
            FT_Vector k;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &k);
            width += float(k.x) / 64.0f;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT)) continue;
        width += float(face->glyph->advance.x) / 64.0f + tracking;
        previous = glyph;
    }
    return width - tracking;
}

void Font::Draw(Mask& into, const std::string& text, float pixelSize, float left, float baseline,
                float tracking) const {
    FT_Face face = Face(face_);
    SetSize(face, pixelSize);
    float pen = left;
    FT_UInt previous = 0;
    for (char32_t cp : DecodeUtf8(text)) {
        const FT_UInt glyph = FT_Get_Char_Index(face, cp);
        if (previous && glyph) {
            FT_Vector k;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &k);
            pen += float(k.x) / 64.0f;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT)) continue;
        // Place the outline at the fractional pen position before rendering.
        const float frac = pen - std::floor(pen);
        FT_Outline_Translate(&face->glyph->outline, FT_Pos(std::lround(frac * 64.0f)), 0);
        if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL)) continue;
        const FT_Bitmap& bm = face->glyph->bitmap;
        const int x0 = int(std::floor(pen)) + face->glyph->bitmap_left;
        const int y0 = int(std::lround(baseline)) - face->glyph->bitmap_top;
        for (unsigned r = 0; r < bm.rows; ++r) {
            for (unsigned col = 0; col < bm.width; ++col) {
                const int x = x0 + int(col), y = y0 + int(r);
                if (x < 0 || y < 0 || x >= into.width || y >= into.height) continue;
                const float a = float(bm.buffer[r * bm.pitch + col]) / 255.0f;
                into.at(x, y) = std::min(1.0f, into.at(x, y) + a);
            }
        }
        pen += float(face->glyph->advance.x) / 64.0f + tracking;
        previous = glyph;
    }
}

}  // namespace art
