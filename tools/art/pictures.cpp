// The table of artwork and the two encodings the pictures use.
#include "pictures.h"

#include "tga_write.h"

namespace art {

const std::vector<Artwork>& AllArtwork() {
    static const std::vector<Artwork> all{
        {102, "102-loading.tga", MakeLoading},
        {104, "104-tree.tga", MakeTree},
        {105, "105-opening.tga", MakeOpening},
        {107, "107-figure.tga", MakeFigure},
        {109, "109-tunnel.tga", MakeTunnel},
        {112, "112-painting.tga", MakePainting},
        {113, "113-closing-text.tga", MakeClosingText},
        {115, "115-ball-blue.tga", MakeBallBlue},
        {116, "116-ball-orange.tga", MakeBallOrange},
        {117, "117-ball-green.tga", MakeBallGreen},
        {123, "123-texture.tga", MakeTexture},
        {124, "124-overlay.tga", MakeOverlay},
        {128, "128-lobed-texture.tga", MakeLobedTexture},
        {131, "131-caption-1.tga", MakeCaption1},
        {132, "132-caption-2.tga", MakeCaption2},
        {133, "133-caption-3.tga", MakeCaption3},
        {134, "134-dancer.tga", MakeDancer},
        {136, "136-glow.tga", MakeGlow},
        {138, "138-logo-1.tga", MakeLogo1},
        {139, "139-logo-2.tga", MakeLogo2},
        {147, "147-morph-picture.tga", MakeMorphPicture},
        {151, "151-icon.ico", MakeIcon},
        {0, "desktop-icon-48.png", MakeDesktopIcon48},
        {0, "desktop-icon-256.png", MakeDesktopIcon256},
    };
    return all;
}

std::vector<uint8_t> Encode8(const Canvas& c, float dither, bool keyed) {
    QuantizeOptions options;
    options.dither = dither;
    if (keyed) options.key = kKey;
    return EncodeTga(Quantize(c, options));
}

std::vector<uint8_t> Encode24(const Canvas& c, bool dither) {
    return EncodeTga(ToTrueColour(c, dither));
}

}  // namespace art
