// TGA 2.0 pictures read from the program's "TGAFILE" resources.
#pragma once

#include "image/image.h"

class TgaImage : public Image {
  public:
    uint8_t colourMapType = 0;
    uint8_t imageType = 0;  // 1..3 uncompressed, 9..11 run-length encoded
    int16_t colourMapStart = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntrySize = 0;
    int16_t xOrigin = 0;
    int16_t yOrigin = 0;
    uint8_t* palette = nullptr;  // colour map bytes as stored (blue, green, red), owned

    TgaImage() = default;
    // FreePalette, then the pixel memory is released.
    ~TgaImage();

    // Decodes resource "TGAFILE" with the low 16 bits of `id`. True on success.
    bool LoadResource(int32_t id);

    // Decodes a TGA file held in memory, exactly as LoadResource does with a resource's bytes.
    bool LoadMemory(const uint8_t* data, uint32_t size);

    // Releases `palette` if any; returns true.
    bool FreePalette();
};

// The load pattern every effect uses: loads TGA resource `id`, converts it (through its palette
// when it has one) into a new 16-bit Image of its width and height, and releases the TgaImage.
// Never fails: a missing picture gives an image of whatever size the header gave (0x0 when the
// resource is missing) and no useful pixels.
Image* LoadTgaAs16(int32_t id);
