// Audio library stand-in: the BASS 0.7 calls the program makes, over libmpg123 and SDL2 audio.
//
// Implements:
//   - BASS_GetVersion (0.7), BASS_ErrorGetCode (last failure of this library, table below).
//   - BASS_Init / BASS_Free: the output. An SDL audio device at 44100 Hz, 16-bit stereo; with no
//     device (no driver, or the device won't open) a silent output whose clock is monotonic time,
//     announced once on stderr; on the headless backend a silent output on its virtual clock.
//   - BASS_Start / BASS_Stop: output running or paused; the play positions stand still while
//     paused.
//   - BASS_SetVolume: 0..100, applied to the samples sent to the device.
//   - BASS_StreamCreateFile: MPEG audio from memory (read in place) or from a file, decoded whole
//     at creation. BASS_StreamFree releases it.
//   - BASS_StreamPlay: starts a stream from its beginning (or goes on, when already playing and
//     not flushed). After its last sample a stream plays silence for ever, so its position keeps
//     advancing.
//   - BASS_ChannelGetPosition: bytes heard since the stream started (see play_clock.h); never
//     goes backwards.
//   - Injected failures (platform hooks) of BASS_GetVersion, BASS_Init, BASS_StreamCreateFile,
//     BASS_StreamPlay and BASS_Stop.
// Leaves out: devices other than the default, 3D, samples, music modules, effects, channel
// attributes, sync callbacks, output rates other than 44100 Hz (the rate argument is ignored).
//
// Error codes (BASS_ErrorGetCode), set by every call that can fail; BASS_OK after a success:
//   BASS_ERROR_MEM       the decoded stream doesn't fit in memory
//   BASS_ERROR_FILEOPEN  the data is not MPEG audio, or the file can't be read
//   BASS_ERROR_DRIVER    the output can't be initialised (only by an injected failure: without a
//                        device the output is silent)
//   BASS_ERROR_HANDLE    not a stream handle of this library
//   BASS_ERROR_FORMAT    MPEG audio that can't be decoded to 44.1 kHz 16-bit stereo
//   BASS_ERROR_INIT      BASS_Init has not succeeded (or BASS_Free has run)
//   BASS_ERROR_START     the output is stopped (BASS_Start first)
//   BASS_ERROR_ALREADY   BASS_Init again before BASS_Free
//   BASS_ERROR_DEVICE    a device number other than -1 (default), 0 (no sound) or 1
//   BASS_ERROR_UNKNOWN   the decoder could not be set up
#include <bass.h>

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "platform/audio/bass_state.h"
#include "platform/audio/mp3_decode.h"
#include "platform/audio/play_clock.h"
#include "platform/clock.h"
#include "platform/failures.h"

namespace audio {
namespace {

struct Stream {
    std::vector<uint8_t> file;  // the file's bytes, for streams not made from the caller's memory
    std::vector<uint8_t> pcm;
    bool playing = false;
    uint64_t handedOut = 0;  // bytes sent to the device since play began, silence past the end
    CallbackClock deviceClock;
    WallClock wallClock;
    uint64_t frozen = 0;        // the position when the output was stopped
    uint64_t lastPosition = 0;  // the largest position reported
};

struct Output {
    OutputKind kind = OutputKind::kNone;
    bool started = false;
    bool deviceClock = false;
    bool sdlAudio = false;  // the SDL audio subsystem is ours to quit
    SDL_AudioDeviceID device = 0;
    int volume = 100;
};

int lastError = BASS_OK;
Output output;
std::map<HSTREAM, std::unique_ptr<Stream>> streams;
HSTREAM nextHandle = 1;
bool toldSilent = false;
bool followCallbacksAlways = false;
bool ignoreHeadless = false;

int Fail(int code) {
    lastError = code;
    return 0;
}

// Holds the device's callback off while the stream table changes.
class DeviceLock {
  public:
    DeviceLock() : device_(output.device) {
        if (device_) SDL_LockAudioDevice(device_);
    }
    ~DeviceLock() {
        if (device_) SDL_UnlockAudioDevice(device_);
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

  private:
    SDL_AudioDeviceID device_;
};

// An injected failure of `name`: true with `code` set to the code to report.
bool Injected(const char* name, int defaultCode, int* code) {
    int64_t value = defaultCode;
    if (!platform::ShouldFail(name, &value)) return false;
    *code = static_cast<int>(value);
    return true;
}

Stream* Find(HSTREAM handle) {
    auto it = streams.find(handle);
    return it == streams.end() ? nullptr : it->second.get();
}

// The device asks for `length` bytes: every playing stream's next bytes (silence past its end),
// scaled by the volume and mixed with saturation.
void SDLCALL FillDevice(void*, Uint8* buffer, int length) {
    int64_t now = NowNanoseconds();
    size_t bytes = static_cast<size_t>(length);
    std::memset(buffer, 0, bytes);
    int playing = 0;
    for (auto& [handle, stream] : streams) {
        if (!stream->playing) continue;
        stream->deviceClock.OnCallback(stream->handedOut, now, static_cast<uint32_t>(length));
        uint64_t from = stream->handedOut;
        stream->handedOut += bytes;
        if (from >= stream->pcm.size()) continue;
        size_t count = std::min<uint64_t>(bytes, stream->pcm.size() - from);
        const uint8_t* source = stream->pcm.data() + from;
        if (playing == 0 && output.volume == 100) {
            std::memcpy(buffer, source, count);
        } else {
            for (size_t i = 0; i + 1 < count; i += 2) {
                int32_t add = int16_t(source[i] | source[i + 1] << 8) * output.volume / 100;
                int32_t sum = int16_t(buffer[i] | buffer[i + 1] << 8) + add;
                sum = std::clamp(sum, -32768, 32767);
                buffer[i] = uint8_t(sum);
                buffer[i + 1] = uint8_t(uint32_t(sum) >> 8);
            }
        }
        ++playing;
    }
}

// Opens the default SDL audio device; false (with the reason in SDL_GetError) when there is none.
bool OpenDevice() {
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        output.sdlAudio = true;
    }
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16LSB;
    want.channels = 2;
    want.samples = 2048;
    want.callback = FillDevice;
    SDL_AudioSpec have{};
    output.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (output.device == 0) {
        if (output.sdlAudio) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        output.sdlAudio = false;
        return false;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    output.deviceClock =
        followCallbacksAlways ||
        !(driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0));
    return true;
}

void CloseDevice() {
    if (output.device) {
        SDL_PauseAudioDevice(output.device, 1);
        SDL_CloseAudioDevice(output.device);
    }
    if (output.sdlAudio) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    output.device = 0;
    output.sdlAudio = false;
}

uint64_t ClockPosition(const Stream& stream, int64_t now) {
    // The headless backend's clock is the music position itself.
    if (output.kind == OutputKind::kHeadless) {
        return platform::HeadlessMusicPosition();
    }
    if (output.kind == OutputKind::kDevice && output.deviceClock) {
        return stream.deviceClock.Position(now);
    }
    return stream.wallClock.Position(now);
}

// The position of a stream; under the device lock when a device runs.
uint64_t Position(Stream& stream) {
    uint64_t position = stream.lastPosition;
    if (stream.playing) {
        position = output.started ? ClockPosition(stream, NowNanoseconds()) : stream.frozen;
    }
    stream.lastPosition = std::max(stream.lastPosition, position);
    return stream.lastPosition;
}

}  // namespace

OutputKind CurrentOutput() {
    return output.kind;
}

bool ClockFollowsDevice() {
    return output.kind == OutputKind::kDevice && output.deviceClock;
}

void IgnoreHeadlessBackendForTesting(bool ignore) {
    ignoreHeadless = ignore;
}

void FollowDeviceCallbacksForTesting(bool follow) {
    followCallbacksAlways = follow;
}

std::span<const uint8_t> StreamPcm(HSTREAM handle) {
    Stream* stream = Find(handle);
    if (!stream) return {};
    return stream->pcm;
}

}  // namespace audio

using namespace audio;

DWORD BASS_GetVersion(void) {
    int code = 0;
    if (Injected("BASS_GetVersion", lastError, &code)) {
        lastError = code;
        return kTooOldVersion;
    }
    return kVersion;
}

int BASS_ErrorGetCode(void) {
    return lastError;
}

BOOL BASS_Init(int device, DWORD, DWORD, HWND) {
    int code = 0;
    if (Injected("BASS_Init", BASS_ERROR_DRIVER, &code)) return Fail(code);
    if (output.kind != OutputKind::kNone) return Fail(BASS_ERROR_ALREADY);
    if (device < -1 || device > 1) return Fail(BASS_ERROR_DEVICE);

    output = Output{};
    if (!ignoreHeadless && platform::IsHeadless()) {
        output.kind = OutputKind::kHeadless;
    } else if (device != 0 && OpenDevice()) {
        output.kind = OutputKind::kDevice;
    } else {
        if (device != 0 && !toldSilent) {
            std::fprintf(stderr, "morvanite: no audio device (%s); the show plays silently\n",
                         SDL_GetError());
            toldSilent = true;
        }
        output.kind = OutputKind::kSilent;
    }
    lastError = BASS_OK;
    return TRUE;
}

BOOL BASS_Start(void) {
    if (output.kind == OutputKind::kNone) return Fail(BASS_ERROR_INIT);
    if (!output.started) {
        int64_t now = NowNanoseconds();
        DeviceLock lock;
        for (auto& [handle, stream] : streams) {
            if (stream->playing) stream->wallClock.Resume(now);
        }
        output.started = true;
    }
    if (output.device) SDL_PauseAudioDevice(output.device, 0);
    lastError = BASS_OK;
    return TRUE;
}

BOOL BASS_SetVolume(DWORD volume) {
    if (output.kind == OutputKind::kNone) return Fail(BASS_ERROR_INIT);
    DeviceLock lock;
    output.volume = static_cast<int>(std::min<DWORD>(volume, 100));
    lastError = BASS_OK;
    return TRUE;
}

void BASS_StreamFree(HSTREAM handle) {
    std::unique_ptr<Stream> freed;
    {
        DeviceLock lock;
        auto it = streams.find(handle);
        if (it == streams.end()) {
            lastError = BASS_ERROR_HANDLE;
            return;
        }
        freed = std::move(it->second);
        streams.erase(it);
    }
    lastError = BASS_OK;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, void* file, DWORD offset, DWORD length, DWORD) {
    int code = 0;
    if (Injected("BASS_StreamCreateFile", BASS_ERROR_FILEOPEN, &code)) return Fail(code);
    if (output.kind == OutputKind::kNone) return Fail(BASS_ERROR_INIT);
    if (!file) return Fail(BASS_ERROR_FILEOPEN);

    auto stream = std::make_unique<Stream>();
    std::span<const uint8_t> data;
    try {
        if (mem) {
            data = {static_cast<const uint8_t*>(file) + offset, length};
        } else {
            std::ifstream in(static_cast<const char*>(file), std::ios::binary);
            in.seekg(offset);
            if (!in) return Fail(BASS_ERROR_FILEOPEN);
            if (length == 0) {
                stream->file.assign(std::istreambuf_iterator<char>(in), {});
            } else {
                stream->file.resize(length);
                in.read(reinterpret_cast<char*>(stream->file.data()), length);
                stream->file.resize(static_cast<size_t>(in.gcount()));
            }
            data = stream->file;
        }
    } catch (const std::bad_alloc&) {
        return Fail(BASS_ERROR_MEM);
    }

    switch (DecodeMpegAudio(data, &stream->pcm)) {
        case DecodeStatus::kOk:
            break;
        case DecodeStatus::kNotMpeg:
            return Fail(BASS_ERROR_FILEOPEN);
        case DecodeStatus::kUnsupported:
            return Fail(BASS_ERROR_FORMAT);
        case DecodeStatus::kNoMemory:
            return Fail(BASS_ERROR_MEM);
        case DecodeStatus::kDecoderError:
            return Fail(BASS_ERROR_UNKNOWN);
    }
    stream->file.clear();
    stream->file.shrink_to_fit();

    HSTREAM handle = nextHandle++;
    if (nextHandle == 0) nextHandle = 1;
    {
        DeviceLock lock;
        streams[handle] = std::move(stream);
    }
    lastError = BASS_OK;
    return handle;
}

BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD) {
    int code = 0;
    if (Injected("BASS_StreamPlay", BASS_ERROR_START, &code)) return Fail(code);
    if (output.kind == OutputKind::kNone) return Fail(BASS_ERROR_INIT);
    DeviceLock lock;
    Stream* stream = Find(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE);
    if (!output.started) return Fail(BASS_ERROR_START);
    if (!stream->playing || flush) {
        stream->playing = true;
        stream->handedOut = 0;
        stream->deviceClock = CallbackClock{};
        stream->wallClock.Start(NowNanoseconds());
        stream->frozen = 0;
        stream->lastPosition = 0;
    }
    platform::NotifyMusicStarted();
    lastError = BASS_OK;
    return TRUE;
}

DWORD BASS_ChannelGetPosition(DWORD handle) {
    if (output.kind == OutputKind::kNone) {
        lastError = BASS_ERROR_INIT;
        return DWORD(-1);
    }
    DeviceLock lock;
    Stream* stream = Find(handle);
    if (!stream) {
        lastError = BASS_ERROR_HANDLE;
        return DWORD(-1);
    }
    lastError = BASS_OK;
    return static_cast<DWORD>(Position(*stream));
}

BOOL BASS_Stop(void) {
    platform::NotifyMusicStopped();
    int code = 0;
    if (Injected("BASS_Stop", BASS_ERROR_UNKNOWN, &code)) return Fail(code);
    if (output.kind == OutputKind::kNone) return Fail(BASS_ERROR_INIT);
    if (output.device) SDL_PauseAudioDevice(output.device, 1);
    if (output.started) {
        int64_t now = NowNanoseconds();
        DeviceLock lock;
        for (auto& [handle, stream] : streams) {
            if (!stream->playing) continue;
            // The headless clock is read only when the program asks for the position.
            stream->frozen =
                output.kind == OutputKind::kHeadless ? stream->lastPosition : Position(*stream);
            stream->wallClock.Pause(now);
        }
        output.started = false;
    }
    lastError = BASS_OK;
    return TRUE;
}

void BASS_Free(void) {
    if (output.kind == OutputKind::kNone) {
        lastError = BASS_ERROR_INIT;
        return;
    }
    CloseDevice();
    streams.clear();
    output = Output{};
    lastError = BASS_OK;
}
