// Every picture of the show and the icon, each drawn by a function of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"
#include "quantize.h"

namespace art {

struct Artwork {
    int id;
    const char* file;                // name in resources/ (0 for the desktop icons)
    std::vector<uint8_t> (*make)();  // the file's bytes
};

// All artwork in id order, the icon, then the desktop icons.
const std::vector<Artwork>& AllArtwork();

// The flat background of the keyed pictures (captions, logos, the figure): pure green, which
// none of the show's drawing colours comes near.
inline constexpr Rgb8 kKey{0, 255, 0};
inline Rgb KeyColour() {
    return Hex(0x00FF00);
}

std::vector<uint8_t> Encode8(const Canvas& c, float dither, bool keyed);
std::vector<uint8_t> Encode24(const Canvas& c, bool dither);

std::vector<uint8_t> MakeLoading();       // 102
std::vector<uint8_t> MakeTree();          // 104
std::vector<uint8_t> MakeOpening();       // 105
std::vector<uint8_t> MakeFigure();        // 107
std::vector<uint8_t> MakeTunnel();        // 109
std::vector<uint8_t> MakePainting();      // 112
std::vector<uint8_t> MakeClosingText();   // 113
std::vector<uint8_t> MakeBallBlue();      // 115
std::vector<uint8_t> MakeBallOrange();    // 116
std::vector<uint8_t> MakeBallGreen();     // 117
std::vector<uint8_t> MakeTexture();       // 123
std::vector<uint8_t> MakeOverlay();       // 124
std::vector<uint8_t> MakeLobedTexture();  // 128
std::vector<uint8_t> MakeCaption1();      // 131
std::vector<uint8_t> MakeCaption2();      // 132
std::vector<uint8_t> MakeCaption3();      // 133
std::vector<uint8_t> MakeDancer();        // 134
std::vector<uint8_t> MakeGlow();          // 136
std::vector<uint8_t> MakeLogo1();         // 138
std::vector<uint8_t> MakeLogo2();         // 139
std::vector<uint8_t> MakeMorphPicture();  // 147
std::vector<uint8_t> MakeIcon();          // 151
// The icon of the desktop entry, for the hicolor theme (not compiled into the program).
std::vector<uint8_t> MakeDesktopIcon48();
std::vector<uint8_t> MakeDesktopIcon256();

}  // namespace art
