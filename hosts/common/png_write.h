// PNG pictures of 8-bit RGB or RGBA pixels (stb_image_write), for frames and for the tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hosts {

// Pixels to encode: `height` rows of `width` pixels, row 0 the top one, each pixel `channels`
// bytes (3: red, green, blue; 4: red, green, blue, alpha, not premultiplied), `stride` bytes from
// the start of one row to the start of the next.
struct PngPixels {
    const uint8_t* data;
    int width, height;
    int channels;
    int stride;
};

// The picture as an 8-bit RGB (3 channels) or RGBA (4) PNG, not interlaced; empty when it cannot
// be encoded: a size not positive, a channel count other than 3 or 4, or no memory for the
// encoder's buffers.
std::vector<uint8_t> EncodePng(const PngPixels& pixels);

// Writes EncodePng's picture to `path`. It is written to `path` + ".partial" in the same folder
// and renamed over `path`, so `path` holds either the whole picture or what it held before. On
// failure returns false, with `*error` naming the file and the reason, and no ".partial" file
// is left.
bool WritePng(const std::string& path, const PngPixels& pixels, std::string* error);

}  // namespace hosts
