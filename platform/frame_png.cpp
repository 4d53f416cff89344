// PNG pictures of frames (libpng).
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/frame.h"

namespace platform {

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
    FrameChannel red = ChannelOfMask(redMask), green = ChannelOfMask(greenMask),
                 blue = ChannelOfMask(blueMask);
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
            row[(size_t)x * 3 + 0] = ExtractChannel(pixel, red);
            row[(size_t)x * 3 + 1] = ExtractChannel(pixel, green);
            row[(size_t)x * 3 + 2] = ExtractChannel(pixel, blue);
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
