// The check mode's pieces: the headless host's frames yielding to the browser, and pictures of
// frames shown on the page instead of written as files.
#include <emscripten.h>

#include <vector>

#include "hosts/common/frame.h"
#include "hosts/headless/headless.h"
#include "hosts/web/web.h"

namespace hosts {
namespace {

// clang-format off
EM_JS(void, PageAddPicture, (const char* name, const uint8_t* rgba, int width, int height), {
    Morvanite.addPicture(UTF8ToString(name), HEAPU8.subarray(rgba, rgba + width * height * 4),
                         width, height);
});
// clang-format on

}  // namespace

void YieldToPage(const uint16_t*, int, int, int, int64_t, int) {
    static double lastYield = 0;
    double now = emscripten_get_now();
    if (now - lastYield >= 250.0) {
        emscripten_sleep(0);
        lastYield = emscripten_get_now();
    }
}

// The page has no files: a picture of a frame goes onto the page, named after the file it
// would have been.
bool WriteFramePng(const std::string& path, const uint16_t* pixels, int width, int height,
                   int pitch, uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                   std::string*) {
    FrameChannel red = ChannelOfMask(redMask), green = ChannelOfMask(greenMask),
                 blue = ChannelOfMask(blueMask);
    std::vector<uint8_t> rgba((size_t)width * height * 4);
    const uint8_t* rows = reinterpret_cast<const uint8_t*>(pixels);
    uint8_t* out = rgba.data();
    for (int y = 0; y < height; ++y) {
        const uint16_t* row = reinterpret_cast<const uint16_t*>(rows + (size_t)y * pitch);
        for (int x = 0; x < width; ++x) {
            *out++ = ExtractChannel(row[x], red);
            *out++ = ExtractChannel(row[x], green);
            *out++ = ExtractChannel(row[x], blue);
            *out++ = 0xFF;
        }
    }
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    PageAddPicture(name.c_str(), rgba.data(), width, height);
    return true;
}

}  // namespace hosts
