// Frame checksums and PNG pictures of frames (libpng).
#include "platform/frame.h"

#include <png.h>

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

}  // namespace

bool WriteFramePng(const std::string& path, const uint16_t* pixels, int width, int height,
                   int pitch, uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                   std::string* error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        *error = path + ": out of memory";
        return false;
    }
    std::vector<uint8_t> row((size_t)width * 3);
    Channel red = ChannelOf(redMask), green = ChannelOf(greenMask), blue = ChannelOf(blueMask);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        *error = path + ": could not write the picture";
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const uint8_t* rows = reinterpret_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint16_t pixel;
            std::memcpy(&pixel, rows + (size_t)y * pitch + (size_t)x * 2, 2);
            row[(size_t)x * 3 + 0] = Extract(pixel, red);
            row[(size_t)x * 3 + 1] = Extract(pixel, green);
            row[(size_t)x * 3 + 2] = Extract(pixel, blue);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace platform
