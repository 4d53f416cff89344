// PNG pictures of 16-bit frames, through the common PNG writer.
#include <cstring>
#include <vector>

#include "hosts/common/frame.h"
#include "hosts/common/png_write.h"

namespace hosts {

bool WriteFramePng(const std::string& path, const uint16_t* pixels, int width, int height,
                   int pitch, uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                   std::string* error) {
    if (width <= 0 || height <= 0) {
        *error = path + ": the frame has no pixels";
        return false;
    }
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
    return WritePng(path, {rgb.data(), width, height, 3, width * 3}, error);
}

}  // namespace hosts
