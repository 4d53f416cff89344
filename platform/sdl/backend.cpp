// SDL2 backend: the show in a real window.
//
// Implements: a window over the whole desktop (or a 4:3 window with --windowed), Alt+Enter
// switching between the two, the pointer hidden over it; keys as WM_KEYDOWN/WM_KEYUP with
// virtual-key codes (Escape, Enter, Space, arrows, letters, digits, F1..F12 and a few more); the
// window manager's close request as WM_CLOSE; focus changes as WM_ACTIVATEAPP; pointer motion as
// WM_SETCURSOR; each flipped frame scaled by nearest neighbour with black bars to 4:3 through a
// vsynced renderer, then a wait for the next tick of a steady 60 Hz clock, like the vertical blank
// of the original display; modal message boxes (their text also goes to stderr); the window icon
// from the class's icon resource.
// Leaves out: display mode switches (the desktop mode is kept and the frame is scaled), mouse
// buttons and wheel, text input, more than one window.
#include "platform/sdl/sdl.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/backend.h"
#include "platform/resources.h"

namespace platform {
namespace {

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;
constexpr auto kTick = std::chrono::nanoseconds(1000000000 / 60);
constexpr UINT kHitClient = 1;       // HTCLIENT
constexpr UINT kMouseMove = 0x0200;  // WM_MOUSEMOVE

WPARAM VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    switch (key) {
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        default:
            return 0;
    }
}

class SdlMachine final : public Backend {
  public:
    bool windowed = false;

    bool Headless() const override { return false; }

    bool OpenWindow(const char* title, HICON icon) override {
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
        // Full screen starts at the desktop's size too, so that it covers the screen even where
        // no window manager carries out the full-screen request.
        int width = kFrameWidth * 3, height = kFrameHeight * 3;
        int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
        if (!windowed) {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
            width = ScreenWidth();
            height = ScreenHeight();
            x = y = 0;
        }
        window_ = SDL_CreateWindow(title, x, y, width, height, flags);
        if (window_ == nullptr) {
            std::fprintf(stderr, "morvanite: can't open the window: %s\n", SDL_GetError());
            return false;
        }
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
        if (renderer_ == nullptr)
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (renderer_ != nullptr) {
            SDL_RenderSetLogicalSize(renderer_, kFrameWidth, kFrameHeight);
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565,
                                         SDL_TEXTUREACCESS_STREAMING, kFrameWidth, kFrameHeight);
        }
        if (renderer_ == nullptr || texture_ == nullptr) {
            std::fprintf(stderr, "morvanite: can't draw into the window: %s\n", SDL_GetError());
            CloseWindow();
            return false;
        }
        SetIcon(icon);
        SDL_ShowCursor(SDL_DISABLE);
        nextTick_ = std::chrono::steady_clock::now();
        return true;
    }

    void ShowWindow(bool visible) override {
        if (window_ == nullptr) return;
        if (visible) {
            SDL_ShowWindow(window_);
            SDL_RaiseWindow(window_);
            // Black until the first frame.
            SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
            SDL_RenderClear(renderer_);
            SDL_RenderPresent(renderer_);
        } else {
            SDL_HideWindow(window_);
        }
    }

    void CloseWindow() override {
        if (texture_ != nullptr) SDL_DestroyTexture(texture_);
        if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
        if (window_ != nullptr) SDL_DestroyWindow(window_);
        texture_ = nullptr;
        renderer_ = nullptr;
        window_ = nullptr;
    }

    void PumpEvents() override {
        SDL_Event event;
        while (SDL_PollEvent(&event)) Handle(event);
    }

    void WaitEvent() override {
        // Wake up now and then even without events, so that nothing can hang here for good.
        SDL_WaitEventTimeout(nullptr, 100);
    }

    void PresentFrame(const uint16_t* pixels, int width, int height, int pitch) override {
        RefreshScreen(pixels, width, height, pitch);
        WaitForTick();
    }

    void RefreshScreen(const uint16_t* pixels, int width, int height, int pitch) override {
        if (renderer_ == nullptr) return;
        if (width == kFrameWidth && height == kFrameHeight) {
            SDL_UpdateTexture(texture_, nullptr, pixels, pitch);
        }
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }

    void ShowMessageBox(const char* text, const char* caption) override {
        std::fprintf(stderr, "%s\n%s\n", caption, text);
        if (window_ != nullptr) SDL_ShowCursor(SDL_ENABLE);
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, window_);
        if (window_ != nullptr) SDL_ShowCursor(SDL_DISABLE);
        // The time spent looking at the box is not owed to the frame clock.
        nextTick_ = std::chrono::steady_clock::now();
    }

    int ScreenWidth() override { return DesktopMode().w; }
    int ScreenHeight() override { return DesktopMode().h; }

  private:
    SDL_DisplayMode DesktopMode() {
        SDL_DisplayMode mode{};
        if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
            mode.w = 640;
            mode.h = 480;
        }
        return mode;
    }

    void SetIcon(HICON icon) {
        uint32_t size = 0;
        const uint8_t* bytes = IconBytes(icon, &size);
        IconImage image;
        if (bytes == nullptr || !DecodeIcon(bytes, size, 32, &image)) return;
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormatFrom(image.rgba.data(), image.width, image.height, 32,
                                               image.width * 4, SDL_PIXELFORMAT_ABGR8888);
        if (surface == nullptr) return;
        SDL_SetWindowIcon(window_, surface);
        SDL_FreeSurface(surface);
    }

    // Paces the show at 60 frames per second whatever the monitor's refresh.
    void WaitForTick() {
        auto now = std::chrono::steady_clock::now();
        nextTick_ += kTick;
        if (nextTick_ < now - 4 * kTick) {
            nextTick_ = now;  // far behind (a pause, a slow frame): start counting again
        } else if (nextTick_ > now) {
            std::this_thread::sleep_until(nextTick_);
        }
    }

    void ToggleFullscreen() {
        windowed = !windowed;
        SDL_SetWindowFullscreen(window_, windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_ShowCursor(SDL_DISABLE);
    }

    void Handle(const SDL_Event& event) {
        switch (event.type) {
            case SDL_QUIT:
                PostToMainWindow(WM_CLOSE, 0, 0);
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) SetAppActive(true);
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) SetAppActive(false);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const SDL_Keysym& key = event.key.keysym;
                bool down = event.type == SDL_KEYDOWN;
                if (down && (key.mod & KMOD_ALT) &&
                    (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER)) {
                    if (!event.key.repeat) ToggleFullscreen();
                    break;
                }
                WPARAM virtualKey = VirtualKey(key.sym);
                if (virtualKey == 0) break;
                // Repeat count 1, scan code, previous key state (bit 30), transition (bit 31).
                LPARAM flags = 1 | ((LPARAM)(key.scancode & 0xFF) << 16);
                if (!down || event.key.repeat) flags |= (LPARAM)1 << 30;
                if (!down) flags |= (LPARAM)1 << 31;
                PostToMainWindow(down ? WM_KEYDOWN : WM_KEYUP, virtualKey, flags);
                break;
            }
            case SDL_MOUSEMOTION:
                SendToMainWindow(WM_SETCURSOR, (WPARAM)MainWindowHandle(),
                                 (LPARAM)(kHitClient | (kMouseMove << 16)));
                break;
            default:
                break;
        }
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::chrono::steady_clock::time_point nextTick_;
};

SdlMachine& Instance() {
    static SdlMachine instance;
    return instance;
}

}  // namespace

bool StartSdl(bool windowed, std::string* error) {
    const char* kNoDisplay =
        "no display to show the demo on (DISPLAY and WAYLAND_DISPLAY are not set)";
    if (SDL_getenv("DISPLAY") == nullptr && SDL_getenv("WAYLAND_DISPLAY") == nullptr &&
        SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        *error = kNoDisplay;  // asked before SDL, which would try every driver and complain
        return false;
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        *error = std::string("no display to show the demo on (") + SDL_GetError() + ")";
        return false;
    }
    // Without a display SDL falls back to drivers that draw nowhere; those only when asked for.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    bool drawsNowhere = driver == nullptr || SDL_strcmp(driver, "offscreen") == 0 ||
                        SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "evdev") == 0;
    if (drawsNowhere && (asked == nullptr || driver == nullptr || SDL_strcmp(asked, driver) != 0)) {
        SDL_Quit();
        *error = kNoDisplay;
        return false;
    }
    Instance().windowed = windowed;
    SetBackend(&Instance());
    return true;
}

void StopSdl() {
    Instance().CloseWindow();
    SDL_Quit();
}

}  // namespace platform
