// TGA 2.0 pictures from the program's resources: header, footer, colour map, raw and run-length
// pixel data.
//
// A picture counts as loaded (true) when it has its header and the TGA 2.0 footer, its colour map
// and pixel data lie between the header and the end of the pixel data E, E lies between the
// start of the pixel data and the footer, and then either
//   - it is uncompressed and width x height pixels are stored before E, or
//   - it is run-length encoded with 8, 16, 24 or 32 bits per pixel, and its packets end exactly
//     at E without reaching past width x height pixels (fewer leave the rest zero), or
//   - it is run-length encoded with any other depth (nothing is decoded; the pixels stay zero).
// Any other picture is refused (false) without reading outside the resource or writing outside
// the pixel memory: before anything is allocated when its layout is inconsistent (no palette, no
// pixel memory), or, when its pixel data turns out short or overlong while decoding, with its
// pixel memory released again (the palette stays, to be freed with the object).
#include "image/tga.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "image/tga_layout.h"
#include "image/trace.h"

namespace {

constexpr uint32_t kHeaderSize = 18;
constexpr uint32_t kFooterSize = 26;
constexpr char kSignature[] = "TRUEVISION-XFILE.";  // 17 characters and the zero
static_assert(sizeof kSignature == 18);

// The palette is read three bytes per 8-bit index: at least 256 such entries are always held,
// zero beyond the stored colour map, so that no index reads outside it.
constexpr size_t kMinimumPaletteBytes = 256 * 3;

inline uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// Unpacks run-length packets from [data, end) into [out, outEnd). True when the last packet ends
// exactly at `end` and no packet reaches past `outEnd`.
bool DecodePackets(const uint8_t* data, const uint8_t* end, uint8_t* out, uint8_t* outEnd,
                   size_t pixelBytes) {
    do {
        if (data >= end) return false;
        const uint8_t header = *data++;
        const size_t count = (header & 127u) + 1;
        if (count * pixelBytes > static_cast<size_t>(outEnd - out)) return false;
        if (header >= 128) {
            if (static_cast<size_t>(end - data) < pixelBytes) return false;
            for (size_t i = 0; i < count; ++i, out += pixelBytes) {
                std::memcpy(out, data, pixelBytes);
            }
            data += pixelBytes;
        } else {
            const size_t bytes = count * pixelBytes;
            if (static_cast<size_t>(end - data) < bytes) return false;
            std::memcpy(out, data, bytes);
            out += bytes;
            data += bytes;
        }
    } while (data != end);
    return true;
}

// Row i receives row height - 1 - i. False when no room for the copy could be had.
bool FlipRows(uint8_t* pixels, int32_t height, size_t rowBytes) {
    const size_t total = rowBytes * static_cast<size_t>(height);
    uint8_t* copy = static_cast<uint8_t*>(std::malloc(total));
    if (copy == nullptr) return false;
    std::memcpy(copy, pixels, total);
    for (int32_t i = 0; i < height; ++i) {
        std::memcpy(pixels + rowBytes * static_cast<size_t>(i),
                    copy + rowBytes * static_cast<size_t>(height - 1 - i), rowBytes);
    }
    std::free(copy);
    return true;
}

}  // namespace

bool ReadTgaLayout(const uint8_t* data, uint32_t size, TgaLayout* layout) {
    if (data == nullptr || size < kHeaderSize || size < kFooterSize) return false;
    const uint32_t footer = size - kFooterSize;
    if (std::memcmp(data + footer + 8, kSignature, sizeof kSignature) != 0) return false;
    layout->idLength = data[0];
    layout->colourMapBytes = data[1] != 0 ? uint32_t{data[7]} * Le16(data + 5) / 8 : 0;
    layout->footerStart = footer;
    layout->dataEnd = footer;
    if (const uint32_t extension = Le32(data + footer); extension != 0) layout->dataEnd = extension;
    if (const uint32_t developer = Le32(data + footer + 4); developer != 0) {
        layout->dataEnd = developer;
    }
    layout->dataStart = uint64_t{kHeaderSize} + layout->idLength + layout->colourMapBytes;
    layout->dataBytes = int64_t{layout->dataEnd} - static_cast<int64_t>(layout->dataStart);
    return true;
}

TgaImage::~TgaImage() {
    FreePalette();
}

bool TgaImage::FreePalette() {
    delete[] palette;
    palette = nullptr;
    return true;
}

bool TgaImage::LoadResource(int32_t id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), "TGAFILE");
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    return LoadMemory(static_cast<const uint8_t*>(::LockResource(loaded)), size);
}

bool TgaImage::LoadMemory(const uint8_t* data, uint32_t size) {
    if (data == nullptr) {
        TraceLine("Uops Puntero Recursos a NULL ;-) .... ERROR!");
        return false;
    }
    TraceLine("Abierto archivo TGA de Recursos ..... OK");
    if (size < kHeaderSize) return false;

    colourMapType = data[1];
    imageType = data[2];
    colourMapStart = static_cast<int16_t>(Le16(data + 3));
    colourMapLength = Le16(data + 5);
    colourMapEntrySize = data[7];
    xOrigin = static_cast<int16_t>(Le16(data + 8));
    yOrigin = static_cast<int16_t>(Le16(data + 10));
    width = Le16(data + 12);
    height = Le16(data + 14);
    bitsPerPixel = data[16];
    TraceLine("Resolución de la imagen ..................... %4dx%4dx%2d", width, height,
              bitsPerPixel);

    TgaLayout layout;
    if (!ReadTgaLayout(data, size, &layout) || !layout.Consistent()) return false;
    const uint32_t mapBytes = layout.colourMapBytes;
    const uint32_t idLength = layout.idLength;
    const uint64_t start = layout.dataStart;
    const uint32_t end = layout.dataEnd;

    if (colourMapType != 0) {
        palette = new uint8_t[std::max<size_t>(mapBytes, kMinimumPaletteBytes)]();
        std::memcpy(palette, data + kHeaderSize + idLength, mapBytes);
    }

    Allocate(width, height, bitsPerPixel);
    if (pixels == nullptr) return false;

    const uint8_t* cursor = data + start;
    const uint8_t* dataEnd = data + end;
    const size_t imageBytes = static_cast<size_t>(width) * static_cast<size_t>(height) *
                              static_cast<size_t>(bitsPerPixel) / 8;
    bool complete = true;
    if (imageType <= 8) {
        complete = imageBytes <= static_cast<size_t>(dataEnd - cursor);
        if (complete) std::memcpy(pixels, cursor, imageBytes);
    } else if (bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 ||
               bitsPerPixel == 32) {
        complete = DecodePackets(cursor, dataEnd, pixels, pixels + imageBytes,
                                 static_cast<size_t>(bitsPerPixel / 8)) &&
                   FlipRows(pixels, height, static_cast<size_t>(bytesPerRow));
    }
    if (!complete) {
        Free();
        return false;
    }

    TraceLine("Cerrado el recurso .................. OK");
    return true;
}

Image* LoadTgaAs16(int32_t id) {
    TgaImage* picture = new TgaImage;
    picture->LoadResource(id);
    Image* image = new Image(picture->width, picture->height, 16);
    image->ConvertFrom(*picture, picture->palette);
    delete picture;
    return image;
}
