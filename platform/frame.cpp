// Frame checksums and PNG pictures of frames (stb_image_write, which builds for every target).
#include "platform/frame.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

uint64_t FrameHash(const uint16_t* pixels, int width, int height, int pitch) {
    uint64_t hash = 0xcbf29ce484222325ull;
    const uint8_t* rows = reinterpret_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rows + (size_t)y * pitch;
        for (int x = 0; x < width; ++x) {
            uint16_t pixel;
            std::memcpy(&pixel, row + (size_t)x * 2, 2);
            hash = (hash ^ (pixel & 0xFF)) * 0x100000001b3ull;
            hash = (hash ^ (pixel >> 8)) * 0x100000001b3ull;
        }
    }
    return hash;
}

uint8_t WidenChannel(uint32_t value, int bits) {
    if (bits <= 0) return 0;
    if (bits >= 8) return (uint8_t)(value >> (bits - 8));
    uint32_t widened = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits) {
        widened |= shift >= 0 ? value << shift : value >> -shift;
    }
    return (uint8_t)widened;
}

namespace {

struct Channel {
    uint32_t mask;
    int shift;
    int bits;
};

Channel ChannelOf(uint32_t mask) {
    if (mask == 0) return Channel{0, 0, 0};
    return Channel{mask, __builtin_ctz(mask), __builtin_popcount(mask)};
}

uint8_t Extract(uint16_t pixel, const Channel& channel) {
    return WidenChannel((pixel & channel.mask) >> channel.shift, channel.bits);
}

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
    Channel red = ChannelOf(redMask), green = ChannelOf(greenMask), blue = ChannelOf(blueMask);
    const uint8_t* rows = reinterpret_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = rgb.data() + (size_t)y * width * 3;
        for (int x = 0; x < width; ++x) {
            uint16_t pixel;
            std::memcpy(&pixel, rows + (size_t)y * pitch + (size_t)x * 2, 2);
            out[(size_t)x * 3 + 0] = Extract(pixel, red);
            out[(size_t)x * 3 + 1] = Extract(pixel, green);
            out[(size_t)x * 3 + 2] = Extract(pixel, blue);
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

}  // namespace platform
