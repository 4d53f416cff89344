// Audio library stand-in: the BASS 0.7 calls the program makes, over a decoder (mp3_decode.h) and
// a sound output (output.h) chosen by the build. This file knows neither the machine nor its
// libraries; the headless backend reaches it through a virtual clock (virtual_clock.h).
//
// Implements:
//   - BASS_GetVersion (0.7), BASS_ErrorGetCode (last failure of this library, table below).
//   - BASS_Init / BASS_Free: the output. The default device at 44100 Hz, 16-bit stereo; with no
//     device (no driver, or the device won't open) a silent output whose clock is monotonic time,
//     announced once on stderr (the same output, unannounced, when the program asks for silence);
//     while a virtual clock stands in, a silent output on that clock.
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
//   - Counted calls that a probe may make fail (winapi/calls.h) of BASS_GetVersion, BASS_Init,
//   BASS_StreamCreateFile,
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

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "winapi/bass/bass_state.h"
#include "winapi/bass/decoder.h"
#include "winapi/bass/output.h"
#include "winapi/bass/play_clock.h"
#include "winapi/bass/virtual_clock.h"
#include "winapi/calls.h"

namespace audio {
namespace {

struct Stream {
    std::vector<uint8_t> file;  // the file's bytes, for streams not made from the caller's memory
    std::vector<uint8_t> pcm;
    bool playing = false;
    uint64_t handedOut = 0;  // bytes sent to the device since play began, silence past the end
    bool handedAny = false;  // handedOut counts from deviceStart, the device's byte of its start
    uint64_t deviceStart = 0;
    CallbackClock deviceClock;
    WallClock wallClock;
    uint64_t frozen = 0;        // the position when the output was stopped
    uint64_t lastPosition = 0;  // the largest position reported
};

struct OutputState {
    OutputKind kind = OutputKind::kNone;
    bool started = false;
    std::unique_ptr<Output> device;
    OutputClock clock = OutputClock::kMonotonic;
    uint64_t deviceBytes = 0;                    // bytes filled since the device opened
    const VirtualClock* virtualClock = nullptr;  // kHeadless: the clock in its place
    int volume = 100;
};

int lastError = BASS_OK;
const VirtualClock* installedClock = nullptr;
OutputState output;
std::map<HSTREAM, std::unique_ptr<Stream>> streams;
HSTREAM nextHandle = 1;
bool toldSilent = false;
bool followCallbacksAlways = false;
bool ignoreHeadless = false;
bool silentAsked = false;

int Fail(int code) {
    lastError = code;
    return 0;
}

// Holds the device's requests for audio off while the stream table changes.
class DeviceLock {
  public:
    DeviceLock() : device_(output.device.get()) {
        if (device_) device_->Lock();
    }
    ~DeviceLock() {
        if (device_) device_->Unlock();
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

  private:
    Output* device_;
};

// An injected failure of `name`: true with `code` set to the code to report.
bool Injected(winapi::Call call, int defaultCode, int* code) {
    int64_t value = defaultCode;
    if (!winapi::CallFails(call, &value)) return false;
    *code = static_cast<int>(value);
    return true;
}

Stream* Find(HSTREAM handle) {
    auto it = streams.find(handle);
    return it == streams.end() ? nullptr : it->second.get();
}

// The device asks for `length` bytes: every playing stream's next bytes (silence past its end),
// scaled by the volume and mixed with saturation.
void FillDevice(uint8_t* buffer, uint32_t length) {
    int64_t now = NowNanoseconds();
    size_t bytes = length;
    std::memset(buffer, 0, bytes);
    int playing = 0;
    for (auto& [handle, stream] : streams) {
        if (!stream->playing) continue;
        stream->deviceClock.OnCallback(stream->handedOut, now, length);
        if (!stream->handedAny) {
            stream->handedAny = true;
            stream->deviceStart = output.deviceBytes;
        }
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
    output.deviceBytes += bytes;
}

uint64_t ClockPosition(const Stream& stream, int64_t now) {
    // The virtual clock is the music position itself.
    if (output.kind == OutputKind::kHeadless) return output.virtualClock->position();
    if (output.kind == OutputKind::kDevice) {
        switch (output.clock) {
            case OutputClock::kCallbacks:
                return stream.deviceClock.Position(now);
            case OutputClock::kPlayedBytes: {
                if (!stream.handedAny) return 0;
                uint64_t played = output.device->PlayedBytes();
                return played > stream.deviceStart ? played - stream.deviceStart : 0;
            }
            case OutputClock::kMonotonic:
                break;
        }
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
    return output.kind == OutputKind::kDevice && output.clock != OutputClock::kMonotonic;
}

void InstallVirtualClock(const VirtualClock* clock) {
    installedClock = clock;
}

void IgnoreHeadlessBackendForTesting(bool ignore) {
    ignoreHeadless = ignore;
}

void PlaySilently(bool silent) {
    silentAsked = silent;
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
    if (Injected(winapi::Call::kBassGetVersion, lastError, &code)) {
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
    if (Injected(winapi::Call::kBassInit, BASS_ERROR_DRIVER, &code)) return Fail(code);
    if (output.kind != OutputKind::kNone) return Fail(BASS_ERROR_ALREADY);
    if (device < -1 || device > 1) return Fail(BASS_ERROR_DEVICE);

    output = OutputState{};
    std::string reason;
    if (!ignoreHeadless && installedClock && installedClock->active()) {
        output.kind = OutputKind::kHeadless;
        output.virtualClock = installedClock;
    } else if (device != 0 && !silentAsked &&
               (output.device = OpenOutput({FillDevice, followCallbacksAlways}, &reason))) {
        output.kind = OutputKind::kDevice;
        output.clock = output.device->Clock();
    } else {
        if (device != 0 && !silentAsked && !toldSilent) {
            std::fprintf(stderr, "morvanite: no audio device (%s); the show plays silently\n",
                         reason.c_str());
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
    if (output.device) output.device->Start();
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
    if (Injected(winapi::Call::kBassStreamCreateFile, BASS_ERROR_FILEOPEN, &code))
        return Fail(code);
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
    if (Injected(winapi::Call::kBassStreamPlay, BASS_ERROR_START, &code)) return Fail(code);
    if (output.kind == OutputKind::kNone) return Fail(BASS_ERROR_INIT);
    DeviceLock lock;
    Stream* stream = Find(handle);
    if (!stream) return Fail(BASS_ERROR_HANDLE);
    if (!output.started) return Fail(BASS_ERROR_START);
    if (!stream->playing || flush) {
        stream->playing = true;
        stream->handedOut = 0;
        stream->handedAny = false;
        stream->deviceClock = CallbackClock{};
        stream->wallClock.Start(NowNanoseconds());
        stream->frozen = 0;
        stream->lastPosition = 0;
    }
    if (installedClock) installedClock->musicStarted();
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
    DWORD position = static_cast<DWORD>(Position(*stream));
    if (installedClock && installedClock->positionRead) installedClock->positionRead(position);
    return position;
}

BOOL BASS_Stop(void) {
    if (installedClock && installedClock->musicStopped) installedClock->musicStopped();
    int code = 0;
    if (Injected(winapi::Call::kBassStop, BASS_ERROR_UNKNOWN, &code)) return Fail(code);
    if (output.kind == OutputKind::kNone) return Fail(BASS_ERROR_INIT);
    if (output.device) output.device->Stop();
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
    output.device.reset();
    streams.clear();
    output = OutputState{};
    lastError = BASS_OK;
}
