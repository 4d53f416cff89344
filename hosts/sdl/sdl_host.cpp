// SDL2 host: the show in a real window.
//
// Implements: a window over the whole desktop (or a 4:3 window with --windowed), Alt+Enter
// switching between the two, the pointer hidden over it, the screensaver held off while it is
// open; keys as WM_KEYDOWN/WM_KEYUP with virtual-key codes (Escape, Enter, Space, arrows, letters,
// digits, F1..F11 and a few more); F12 saves the visible frame as the next free
// morvanite-NNN.png in the current folder; the window manager's close request as WM_CLOSE; focus
// changes as WM_ACTIVATEAPP; pointer motion as WM_SETCURSOR; each flipped frame scaled by nearest
// neighbour with black bars to 4:3 (or to a whole multiple of 320x240), drawn at the window's
// real pixel size on HiDPI screens. Frames are paced like the vertical blank of the original
// display: on a vsynced 60 Hz display by the vsync itself, otherwise each frame is shown on the
// next tick of a steady 60 Hz clock. Optionally a log line per shown frame (--frame-log).
// Modal message boxes (their text also goes to stderr); the window icon from the class's icon
// resource.
// Leaves out: display mode switches (the desktop mode is kept and the frame is scaled), mouse
// buttons and wheel, text input, more than one window.
#include "hosts/sdl/sdl.h"

#include <SDL.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "hosts/common/frame.h"
#include "hosts/sdl/view.h"
#include "runtime/show.h"
#include "winapi/bass/virtual_clock.h"
#include "winapi/host.h"
#include "winapi/kernel32/resources.h"

namespace hosts {
namespace {

using winapi::MainWindowHandle;
using winapi::PostToMainWindow;
using winapi::SendToMainWindow;
using winapi::SetAppActive;

constexpr int kFrameWidth = show::kFrameWidth;
constexpr int kFrameHeight = show::kFrameHeight;
constexpr auto kTick = std::chrono::nanoseconds(1000000000 / 60);
constexpr UINT kHitClient = 1;       // HTCLIENT
constexpr UINT kMouseMove = 0x0200;  // WM_MOUSEMOVE

WPARAM VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F11) return VK_F1 + (key - SDLK_F1);
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

int64_t SteadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class SdlMachine final : public winapi::Host {
  public:
    SdlOptions options;
    FILE* frameLog = nullptr;

    bool OpenWindow(const char* title, HICON icon) override {
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
        // Full screen starts at the desktop's size too, so that it covers the screen even where
        // no window manager carries out the full-screen request.
        int width = kFrameWidth * 3, height = kFrameHeight * 3;
        int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
        if (!options.windowed) {
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
        SDL_DisableScreenSaver();
        vsyncPaces_ = VsyncAtSixtyHertz();
        nextTick_ = std::chrono::steady_clock::now();
        if (frameLog != nullptr) {
            SDL_RendererInfo info{};
            SDL_GetRendererInfo(renderer_, &info);
            std::fprintf(frameLog, "# renderer %s, frames paced by the %s\n",
                         info.name != nullptr ? info.name : "?", vsyncPaces_ ? "vsync" : "clock");
        }
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
        if (window_ != nullptr) {
            SDL_DestroyWindow(window_);
            SDL_EnableScreenSaver();
        }
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
        if (renderer_ == nullptr) return;
        Compose(pixels, width, height, pitch);
        if (!vsyncPaces_) WaitForTick();
        SDL_RenderPresent(renderer_);
        AfterFlip();
    }

    void RefreshScreen(const uint16_t* pixels, int width, int height, int pitch) override {
        if (renderer_ == nullptr) return;
        Compose(pixels, width, height, pitch);
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

    // The program read the music's play position (bytes); the next frame is drawn for it.
    void MusicPositionRead(uint32_t position) {
        lastPosition_ = position;
        lastReadNs_ = SteadyNanoseconds();
    }

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
        const uint8_t* bytes = winapi::IconBytes(icon, &size);
        winapi::IconImage image;
        if (bytes == nullptr || !winapi::DecodeIcon(bytes, size, 32, &image)) return;
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormatFrom(image.rgba.data(), image.width, image.height, 32,
                                               image.width * 4, SDL_PIXELFORMAT_ABGR8888);
        if (surface == nullptr) return;
        SDL_SetWindowIcon(window_, surface);
        SDL_FreeSurface(surface);
    }

    // Keeps the frame for F12 and draws it, scaled into its place, into the next picture.
    void Compose(const uint16_t* pixels, int width, int height, int pitch) {
        if (width == kFrameWidth && height == kFrameHeight) {
            SDL_UpdateTexture(texture_, nullptr, pixels, pitch);
            visible_.resize(size_t(kFrameWidth) * kFrameHeight);
            for (int y = 0; y < kFrameHeight; ++y) {
                std::memcpy(&visible_[size_t(y) * kFrameWidth],
                            reinterpret_cast<const uint8_t*>(pixels) + size_t(y) * pitch,
                            size_t(kFrameWidth) * 2);
            }
        }
        int outputWidth = 0, outputHeight = 0;
        SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
        ViewRect view = FrameView(outputWidth, outputHeight, options.integerScale);
        SDL_Rect target{view.x, view.y, view.width, view.height};
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    }

    // True when presenting waits for the vertical blank of a display refreshed about 60 times a
    // second, which then paces the show by itself.
    bool VsyncAtSixtyHertz() {
        SDL_RendererInfo info{};
        if (SDL_GetRendererInfo(renderer_, &info) != 0) return false;
        if (!(info.flags & SDL_RENDERER_PRESENTVSYNC)) return false;
        SDL_DisplayMode mode{};
        int display = SDL_GetWindowDisplayIndex(window_);
        if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return false;
        return mode.refresh_rate >= 59 && mode.refresh_rate <= 61;
    }

    // Bookkeeping after a frame has been presented: the frame log, and the check that a vsync
    // which should pace the show really waits (three presents in a row less than half a tick
    // apart mean it does not; the clock takes over).
    void AfterFlip() {
        int64_t now = SteadyNanoseconds();
        if (vsyncPaces_ && lastFlipNs_ != 0) {
            quickFlips_ = now - lastFlipNs_ < kTick.count() / 2 ? quickFlips_ + 1 : 0;
            if (quickFlips_ >= 3) {
                vsyncPaces_ = false;
                nextTick_ = std::chrono::steady_clock::now();
            }
        }
        lastFlipNs_ = now;
        if (frameLog != nullptr) {
            std::fprintf(frameLog, "%lld %lld %lu %s\n", (long long)now, (long long)lastReadNs_,
                         (unsigned long)lastPosition_, vsyncPaces_ ? "vsync" : "clock");
        }
    }

    // Waits for the next tick of a steady 60 Hz clock, the moment the frame is shown, as a flip
    // waits for the vertical blank. A frame that comes too late for its tick waits for the next
    // one: every frame is shown on the ticks' grid and stands for at least a whole tick.
    void WaitForTick() {
        auto now = std::chrono::steady_clock::now();
        nextTick_ += kTick;
        if (nextTick_ < now) nextTick_ += ((now - nextTick_) / kTick + 1) * kTick;
        std::this_thread::sleep_until(nextTick_);
    }

    // Alt+Enter. The window is first laid over the whole desktop by hand, so that full screen
    // covers it even where no window manager carries out the request (as at start-up); back in
    // a window it gets its last windowed place and size again.
    void ToggleFullscreen() {
        options.windowed = !options.windowed;
        if (options.windowed) {
            SDL_SetWindowFullscreen(window_, 0);
            SDL_SetWindowSize(window_, windowedPlace_.w, windowedPlace_.h);
            SDL_SetWindowPosition(window_, windowedPlace_.x, windowedPlace_.y);
        } else {
            SDL_GetWindowPosition(window_, &windowedPlace_.x, &windowedPlace_.y);
            SDL_GetWindowSize(window_, &windowedPlace_.w, &windowedPlace_.h);
            SDL_SetWindowPosition(window_, 0, 0);
            SDL_SetWindowSize(window_, ScreenWidth(), ScreenHeight());
            SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        }
        SDL_ShowCursor(SDL_DISABLE);
    }

    // F12: the visible frame as the next free morvanite-NNN.png in the current folder.
    void SavePicture() {
        if (visible_.empty()) {
            std::fprintf(stderr, "morvanite: no frame to save yet\n");
            return;
        }
        std::string error;
        std::string path = CreateNextPicture(".", "morvanite", &error);
        if (path.empty()) {
            std::fprintf(stderr, "morvanite: can't save the picture: %s\n", error.c_str());
            return;
        }
        if (!WriteFramePng(path, visible_.data(), kFrameWidth, kFrameHeight, kFrameWidth * 2,
                           0xF800, 0x07E0, 0x001F, &error)) {
            std::remove(path.c_str());  // the empty file that held the number
            std::fprintf(stderr, "morvanite: can't save the picture: %s\n", error.c_str());
            return;
        }
        std::fprintf(stderr, "morvanite: picture saved as %s\n", Absolute(path).c_str());
        // The time spent writing is not owed to the frame clock.
        nextTick_ = std::chrono::steady_clock::now();
    }

    static std::string Absolute(const std::string& path) {
        char* full = realpath(path.c_str(), nullptr);
        if (full == nullptr) return path;
        std::string result = full;
        std::free(full);
        return result;
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
                if (key.sym == SDLK_F12) {
                    if (down && !event.key.repeat) SavePicture();
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
    std::vector<uint16_t> visible_;  // the frame on screen, 5-6-5, for F12
    SDL_Rect windowedPlace_{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kFrameWidth * 3,
                            kFrameHeight * 3};
    std::chrono::steady_clock::time_point nextTick_;
    bool vsyncPaces_ = false;
    int quickFlips_ = 0;
    int64_t lastFlipNs_ = 0;
    uint32_t lastPosition_ = 0;
    int64_t lastReadNs_ = 0;
};

SdlMachine& Instance() {
    static SdlMachine instance;
    return instance;
}

bool NeverInUse() {
    return false;
}
uint32_t NoPosition() {
    return 0;
}
void Ignore() {}
void PositionRead(uint32_t position) {
    Instance().MusicPositionRead(position);
}
// The music plays on the sound output; this only watches the positions the program reads.
const audio::VirtualClock kPositionWatch{NeverInUse, NoPosition, Ignore, PositionRead, nullptr};

}  // namespace

bool StartSdl(const SdlOptions& options, std::string* error) {
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
    SdlMachine& machine = Instance();
    machine.options = options;
    if (!options.frameLog.empty()) {
        machine.frameLog = std::fopen(options.frameLog.c_str(), "w");
        if (machine.frameLog == nullptr) {
            *error = options.frameLog + ": " + std::strerror(errno);
            SDL_Quit();
            return false;
        }
        std::fputs(
            "# present_ns read_ns position pacing: when a frame was shown, when the music\n"
            "# position it was drawn for was read, that position in bytes, what paced it\n",
            machine.frameLog);
    }
    winapi::SetHost(&machine);
    audio::InstallVirtualClock(&kPositionWatch);
    return true;
}

bool StopSdl(std::string* error) {
    SdlMachine& machine = Instance();
    machine.CloseWindow();
    SDL_Quit();
    if (machine.frameLog == nullptr) return true;
    bool ok = std::ferror(machine.frameLog) == 0;
    ok = std::fclose(machine.frameLog) == 0 && ok;
    machine.frameLog = nullptr;
    if (!ok) *error = machine.options.frameLog + ": writing the frame log failed";
    return ok;
}

}  // namespace hosts
