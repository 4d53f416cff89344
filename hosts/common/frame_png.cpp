// PNG pictures of frames (stb_image_write, which builds for every native target).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "hosts/common/frame.h"

namespace hosts {
namespace {

// Collects the encoded picture.
void AppendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace

bool WriteFramePng(const std::string& path, const uint16_t* pixels, int width, int height,
                   int pitch, uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                   std::string* error) {
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    FrameChannel red = ChannelOfMask(redMask), green = ChannelOfMask(greenMask),
                 blue = ChannelOfMask(blueMask);
    const uint8_t* rows = reinterpret_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = rgb.data() + (size_t)y * width * 3;
        for (int x = 0; x < width; ++x) {
            uint16_t pixel;
            std::memcpy(&pixel, rows + (size_t)y * pitch + (size_t)x * 2, 2);
            out[(size_t)x * 3 + 0] = ExtractChannel(pixel, red);
            out[(size_t)x * 3 + 1] = ExtractChannel(pixel, green);
            out[(size_t)x * 3 + 2] = ExtractChannel(pixel, blue);
        }
    }
    std::vector<uint8_t> encoded;
    if (!stbi_write_png_to_func(AppendBytes, &encoded, width, height, 3, rgb.data(), width * 3)) {
        *error = path + ": could not encode the picture";
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(encoded.data(), 1, encoded.size(), file) == encoded.size();
    if (std::fclose(file) != 0 || !written) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace hosts
