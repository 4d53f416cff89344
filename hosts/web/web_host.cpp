// Browser backend: the show on the page's canvas.
//
// Implements: frames on a 320x240 canvas (the page scales it to the largest 4:3 size with sharp
// pixels), each flip followed by a wait for the page's next animation frame on a steady 60 Hz
// tick; key presses and releases as WM_KEYDOWN/WM_KEYUP (the page's key codes are the Windows
// virtual-key codes); a hidden tab as a lost focus (WM_ACTIVATEAPP), a shown one as regained;
// message boxes drawn on the page, modal until their button is pressed; the screen size of the
// browser's screen; the page's icon from the window class's icon.
// Leaves out: display mode switches (the page scales the frame), pointer input, more than one
// window. The check mode (?hashes, ?shots) runs the headless backend, yielding to the browser
// four times a second.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <vector>

#include "winapi/kernel32/resources.h"
#include "hosts/web/web.h"

namespace hosts {
namespace {

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;

// clang-format off
EM_JS(void, PageShowFrame, (const uint8_t* rgba, int width, int height), {
    Morvanite.showFrame(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_ASYNC_JS(void, PageWaitForTick, (), {
    await Morvanite.waitForTick();
});
EM_ASYNC_JS(void, PageMessageBox, (const char* text, const char* caption), {
    await Morvanite.messageBox(UTF8ToString(text), UTF8ToString(caption));
});
EM_JS(void, PageShowCanvas, (int visible), {
    Morvanite.showCanvas(visible != 0);
});
EM_JS(void, PageSetIcon, (const uint8_t* rgba, int width, int height), {
    Morvanite.setIcon(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(int, PageHidden, (), {
    return document.hidden ? 1 : 0;
});
EM_JS(int, PageScreenSize, (int wantHeight), {
    return wantHeight ? screen.height : screen.width;
});
EM_JS(int, PageParameterText, (const char* name, char* out, int size), {
    const value = new URLSearchParams(location.search).get(UTF8ToString(name));
    if (value === null) return -1;
    stringToUTF8(value, out, size);
    return lengthBytesUTF8(value);
});
// clang-format on

struct PageEvent {
    enum Kind { kKeyDown, kKeyUp, kHidden, kShown } kind;
    WPARAM key;
    LPARAM flags;
};

class WebMachine final : public winapi::Host {
  public:
    bool OpenWindow(const char*, HICON icon) override {
        if (!listening_) {
            listening_ = true;
            emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, OnKey);
            emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, OnKey);
            emscripten_set_visibilitychange_callback(this, true, OnVisibility);
            // A page opened in a background tab starts without the focus.
            if (PageHidden()) pending_.push_back(PageEvent{PageEvent::kHidden, 0, 0});
        }
        uint32_t size = 0;
        const uint8_t* bytes = winapi::IconBytes(icon, &size);
        winapi::IconImage image;
        if (bytes != nullptr && winapi::DecodeIcon(bytes, size, 32, &image)) {
            PageSetIcon(image.rgba.data(), image.width, image.height);
        }
        return true;
    }

    void ShowWindow(bool visible) override { PageShowCanvas(visible); }
    void CloseWindow() override {}

    void PumpEvents() override {
        std::vector<PageEvent> events;
        events.swap(pending_);
        for (const PageEvent& event : events) {
            switch (event.kind) {
                case PageEvent::kKeyDown:
                    winapi::PostToMainWindow(WM_KEYDOWN, event.key, event.flags);
                    break;
                case PageEvent::kKeyUp:
                    winapi::PostToMainWindow(WM_KEYUP, event.key, event.flags);
                    break;
                case PageEvent::kHidden:
                    winapi::SetAppActive(false);
                    break;
                case PageEvent::kShown:
                    winapi::SetAppActive(true);
                    break;
            }
        }
    }

    void WaitEvent() override {
        // The page's events arrive while the program sleeps here.
        if (pending_.empty()) emscripten_sleep(16);
    }

    void PresentFrame(const uint16_t* pixels, int width, int height, int pitch) override {
        RefreshScreen(pixels, width, height, pitch);
        PageWaitForTick();
    }

    void RefreshScreen(const uint16_t* pixels, int width, int height, int pitch) override {
        if (width != kFrameWidth || height != kFrameHeight) return;
        // 5-6-5 to 8-bit RGBA, each channel widened by repeating its top bits.
        uint32_t* out = rgba_;
        for (int y = 0; y < height; ++y) {
            const uint16_t* row = reinterpret_cast<const uint16_t*>(
                reinterpret_cast<const uint8_t*>(pixels) + (size_t)y * pitch);
            for (int x = 0; x < width; ++x) {
                uint32_t p = row[x];
                uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
                r = r << 3 | r >> 2;
                g = g << 2 | g >> 4;
                b = b << 3 | b >> 2;
                *out++ = 0xFF000000u | b << 16 | g << 8 | r;
            }
        }
        PageShowFrame(reinterpret_cast<const uint8_t*>(rgba_), width, height);
    }

    void ShowMessageBox(const char* text, const char* caption) override {
        PageMessageBox(text, caption);
    }

    int ScreenWidth() override { return PageScreenSize(0); }
    int ScreenHeight() override { return PageScreenSize(1); }

  private:
    static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* self) {
        WPARAM key = (WPARAM)event->keyCode;
        if (key == 0 || key > 0xFE) return EM_FALSE;
        bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
        // Repeat count 1, previous key state (bit 30), transition (bit 31).
        LPARAM flags = 1;
        if (!down || event->repeat) flags |= (LPARAM)1 << 30;
        if (!down) flags |= (LPARAM)1 << 31;
        static_cast<WebMachine*>(self)->pending_.push_back(
            PageEvent{down ? PageEvent::kKeyDown : PageEvent::kKeyUp, key, flags});
        return EM_FALSE;
    }

    static EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void* self) {
        static_cast<WebMachine*>(self)->pending_.push_back(
            PageEvent{event->hidden ? PageEvent::kHidden : PageEvent::kShown, 0, 0});
        return EM_FALSE;
    }

    std::vector<PageEvent> pending_;
    bool listening_ = false;
    uint32_t rgba_[kFrameWidth * kFrameHeight];
};

}  // namespace

winapi::Host& WebHost() {
    static WebMachine instance;
    return instance;
}

bool PageParameter(const char* name, std::string* value) {
    char text[256];
    int length = PageParameterText(name, text, sizeof text);
    if (length < 0) return false;
    *value = text;
    return true;
}

}  // namespace hosts
