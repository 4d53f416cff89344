// PNG pictures through stb_image_write (header only; builds for every native target).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "hosts/common/png_write.h"

namespace hosts {
namespace {

// Collects the encoded picture.
void AppendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// Writes all of `bytes` to a new file at `path`; on failure false, with the reason in `*error`,
// and no file at `path` if it was created here.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    *error = path + ": " + std::strerror(written ? errno : writeErrno);
    std::remove(path.c_str());
    return false;
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngPixels& pixels) {
    std::vector<uint8_t> encoded;
    if (pixels.width <= 0 || pixels.height <= 0 || (pixels.channels != 3 && pixels.channels != 4))
        return encoded;
    if (!stbi_write_png_to_func(AppendBytes, &encoded, pixels.width, pixels.height, pixels.channels,
                                pixels.data, pixels.stride))
        encoded.clear();
    return encoded;
}

bool WritePng(const std::string& path, const PngPixels& pixels, std::string* error) {
    const std::vector<uint8_t> encoded = EncodePng(pixels);
    if (encoded.empty()) {
        *error = path + ": could not encode a picture of " + std::to_string(pixels.width) + "x" +
                 std::to_string(pixels.height) + " pixels";
        return false;
    }
    const std::string partial = path + ".partial";
    if (!WriteBytes(partial, encoded, error)) return false;
    // std::filesystem::rename replaces an existing file on Windows too, where std::rename fails.
    std::error_code failure;
    std::filesystem::rename(partial, path, failure);
    if (failure) {
        *error = path + ": " + failure.message();
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

}  // namespace hosts
