// Sound output on SDL2 audio: the default device at 44100 Hz, 16-bit stereo, 2048 samples per
// callback. The position follows the callbacks, except on SDL's "dummy" and "disk" drivers, which
// play nothing audible: there it is monotonic time (unless a test asks for the callbacks).
#include <SDL.h>

#include <cstring>

#include "winapi/bass/output.h"

namespace audio {
namespace {

class SdlOutput final : public Output {
  public:
    ~SdlOutput() override {
        if (device_) {
            SDL_PauseAudioDevice(device_, 1);
            SDL_CloseAudioDevice(device_);
        }
        if (ownsSubsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // False, with SDL's reason, when there is no device.
    bool Open(const OutputRequest& request, std::string* reason) {
        fill_ = request.fill;
        if (!SDL_WasInit(SDL_INIT_AUDIO)) {
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
                *reason = SDL_GetError();
                return false;
            }
            ownsSubsystem_ = true;
        }
        SDL_AudioSpec want{};
        want.freq = 44100;
        want.format = AUDIO_S16LSB;
        want.channels = 2;
        want.samples = 2048;
        want.callback = Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            *reason = SDL_GetError();
            return false;
        }
        const char* driver = SDL_GetCurrentAudioDriver();
        bool inaudible =
            driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0);
        clock_ = request.followCallbacks || !inaudible ? OutputClock::kCallbacks
                                                       : OutputClock::kMonotonic;
        return true;
    }

    OutputClock Clock() const override { return clock_; }
    void Start() override { SDL_PauseAudioDevice(device_, 0); }
    void Stop() override { SDL_PauseAudioDevice(device_, 1); }
    void Lock() override { SDL_LockAudioDevice(device_); }
    void Unlock() override { SDL_UnlockAudioDevice(device_); }
    uint64_t PlayedBytes() override { return 0; }

  private:
    static void SDLCALL Callback(void* self, Uint8* buffer, int length) {
        static_cast<SdlOutput*>(self)->fill_(buffer, static_cast<uint32_t>(length));
    }

    FillFunction fill_ = nullptr;
    SDL_AudioDeviceID device_ = 0;
    bool ownsSubsystem_ = false;
    OutputClock clock_ = OutputClock::kMonotonic;
};

}  // namespace

std::unique_ptr<Output> OpenOutput(const OutputRequest& request, std::string* reason) {
    auto output = std::make_unique<SdlOutput>();
    if (!output->Open(request, reason)) return nullptr;
    return output;
}

}  // namespace audio
