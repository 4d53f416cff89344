// The check mode's pieces: the headless backend made to yield to the browser, and pictures of
// frames shown on the page instead of written as files.
#include <emscripten.h>

#include <vector>

#include "platform/frame.h"
#include "platform/headless/headless.h"
#include "platform/web/web.h"

namespace platform {
namespace {

// clang-format off
EM_JS(void, PageAddPicture, (const char* name, const uint8_t* rgba, int width, int height), {
    Morvanite.addPicture(UTF8ToString(name), HEAPU8.subarray(rgba, rgba + width * height * 4),
                         width, height);
});
// clang-format on

// Hands every call to the headless backend; after a flip, lets the browser run when 250 ms have
// passed since it last did, so that the page can draw and answer while the show renders.
class YieldingHeadless final : public Backend {
  public:
    bool Headless() const override { return headless().Headless(); }
    bool OpenWindow(const char* title, HICON icon) override {
        return headless().OpenWindow(title, icon);
    }
    void ShowWindow(bool visible) override { headless().ShowWindow(visible); }
    void CloseWindow() override { headless().CloseWindow(); }
    void PumpEvents() override { headless().PumpEvents(); }
    void WaitEvent() override { headless().WaitEvent(); }
    void PresentFrame(const uint16_t* pixels, int width, int height, int pitch) override {
        headless().PresentFrame(pixels, width, height, pitch);
        double now = emscripten_get_now();
        if (now - lastYield_ >= 250.0) {
            emscripten_sleep(0);
            lastYield_ = emscripten_get_now();
        }
    }
    void RefreshScreen(const uint16_t* pixels, int width, int height, int pitch) override {
        headless().RefreshScreen(pixels, width, height, pitch);
    }
    void ShowMessageBox(const char* text, const char* caption) override {
        headless().ShowMessageBox(text, caption);
    }
    int ScreenWidth() override { return headless().ScreenWidth(); }
    int ScreenHeight() override { return headless().ScreenHeight(); }

  private:
    static Backend& headless() { return HeadlessBackend(); }
    double lastYield_ = 0;
};

}  // namespace

Backend& WebHeadlessBackend() {
    static YieldingHeadless instance;
    return instance;
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

}  // namespace platform
