// Audio library stand-in for the page: the BASS 0.7 calls the program makes, over Web Audio.
//
// Implements:
//   - BASS_GetVersion (0.7), BASS_ErrorGetCode (the codes of platform/include/bass.h, as the
//     native stand-in sets them).
//   - BASS_Init / BASS_Free: an AudioContext at 44100 Hz; where the browser has none, a silent
//     output on the page's clock; on the headless backend (check mode) a silent output on its
//     virtual clock.
//   - BASS_Start / BASS_Stop: the context resumed or suspended; positions stand still while
//     stopped.
//   - BASS_SetVolume: 0..100, the gain of the output.
//   - BASS_StreamCreateFile: MPEG audio from memory, decoded whole by the browser's own decoder
//     (decodeAudioData) at 44100 Hz. Data the browser can't decode plays silently.
//   - BASS_StreamPlay: waits for the page's start gesture (browsers start sound only after one),
//     then plays the stream from its beginning; after its last sample the position goes on.
//   - BASS_ChannelGetPosition: 176,400 bytes per second of the audio clock (the context's
//     currentTime) since the stream started, in whole stereo samples; never goes backwards.
//   - Injected failures of BASS_GetVersion, BASS_Init, BASS_StreamCreateFile and BASS_StreamPlay.
// Leaves out: files (the page has none), devices other than the default, more than one playing
// stream at a time.
#include <bass.h>
#include <emscripten.h>

#include <algorithm>
#include <map>

#include "platform/clock.h"
#include "platform/failures.h"

namespace {

// clang-format off
EM_JS(void, PageAudioOpen, (), { Morvanite.audioOpen(); });
EM_JS(void, PageAudioClose, (), { Morvanite.audioClose(); });
EM_JS(void, PageAudioRun, (int running), { Morvanite.audioRun(running != 0); });
EM_JS(void, PageAudioVolume, (int volume), { Morvanite.audioVolume(volume); });
EM_ASYNC_JS(int, PageAudioDecode, (int stream, const uint8_t* data, uint32_t size), {
    return await Morvanite.audioDecode(stream, HEAPU8.slice(data, data + size));
});
EM_JS(void, PageAudioForget, (int stream), { Morvanite.audioForget(stream); });
EM_ASYNC_JS(void, PageAudioPlay, (int stream), { await Morvanite.audioPlay(stream); });
EM_JS(double, PageAudioPosition, (int stream), { return Morvanite.audioPosition(stream); });
// clang-format on

constexpr DWORD kVersion = 0x00070000;
constexpr DWORD kTooOldVersion = 0x0006FFFF;

enum class Output { kNone, kHeadless, kPage };

struct Stream {
    bool playing = false;
    uint32_t frozen = 0;        // the position when the output was stopped
    uint32_t lastPosition = 0;  // the largest position reported
};

int lastError = BASS_OK;
Output output = Output::kNone;
bool started = false;
std::map<HSTREAM, Stream> streams;
HSTREAM nextHandle = 1;

int Fail(int code) {
    lastError = code;
    return 0;
}

bool Injected(const char* name, int defaultCode, int* code) {
    int64_t value = defaultCode;
    if (!platform::ShouldFail(name, &value)) return false;
    *code = static_cast<int>(value);
    return true;
}

uint32_t Position(HSTREAM handle, Stream& stream) {
    uint32_t position = stream.lastPosition;
    if (stream.playing && !started) {
        position = stream.frozen;
    } else if (stream.playing) {
        position = output == Output::kHeadless
                       ? platform::HeadlessMusicPosition()
                       : static_cast<uint32_t>(PageAudioPosition(static_cast<int>(handle)));
    }
    stream.lastPosition = std::max(stream.lastPosition, position);
    return stream.lastPosition;
}

}  // namespace

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
    if (output != Output::kNone) return Fail(BASS_ERROR_ALREADY);
    if (device < -1 || device > 1) return Fail(BASS_ERROR_DEVICE);
    output = platform::IsHeadless() ? Output::kHeadless : Output::kPage;
    if (output == Output::kPage) PageAudioOpen();
    started = false;
    lastError = BASS_OK;
    return TRUE;
}

BOOL BASS_Start(void) {
    if (output == Output::kNone) return Fail(BASS_ERROR_INIT);
    started = true;
    if (output == Output::kPage) PageAudioRun(1);
    lastError = BASS_OK;
    return TRUE;
}

BOOL BASS_SetVolume(DWORD volume) {
    if (output == Output::kNone) return Fail(BASS_ERROR_INIT);
    if (output == Output::kPage) PageAudioVolume(static_cast<int>(std::min<DWORD>(volume, 100)));
    lastError = BASS_OK;
    return TRUE;
}

void BASS_StreamFree(HSTREAM handle) {
    if (streams.erase(handle) == 0) {
        lastError = BASS_ERROR_HANDLE;
        return;
    }
    if (output == Output::kPage) PageAudioForget(static_cast<int>(handle));
    lastError = BASS_OK;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, void* file, DWORD offset, DWORD length, DWORD) {
    int code = 0;
    if (Injected("BASS_StreamCreateFile", BASS_ERROR_FILEOPEN, &code)) return Fail(code);
    if (output == Output::kNone) return Fail(BASS_ERROR_INIT);
    if (!mem || file == nullptr) return Fail(BASS_ERROR_FILEOPEN);
    HSTREAM handle = nextHandle++;
    if (nextHandle == 0) nextHandle = 1;
    if (output == Output::kPage) {
        PageAudioDecode(static_cast<int>(handle), static_cast<const uint8_t*>(file) + offset,
                        length);
    }
    streams[handle] = Stream{};
    lastError = BASS_OK;
    return handle;
}

BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD) {
    int code = 0;
    if (Injected("BASS_StreamPlay", BASS_ERROR_START, &code)) return Fail(code);
    if (output == Output::kNone) return Fail(BASS_ERROR_INIT);
    auto it = streams.find(handle);
    if (it == streams.end()) return Fail(BASS_ERROR_HANDLE);
    if (!started) return Fail(BASS_ERROR_START);
    Stream& stream = it->second;
    if (!stream.playing || flush) {
        stream = Stream{};
        stream.playing = true;
        if (output == Output::kPage) PageAudioPlay(static_cast<int>(handle));
    }
    platform::NotifyMusicStarted();
    lastError = BASS_OK;
    return TRUE;
}

DWORD BASS_ChannelGetPosition(DWORD handle) {
    if (output == Output::kNone) {
        lastError = BASS_ERROR_INIT;
        return DWORD(-1);
    }
    auto it = streams.find(handle);
    if (it == streams.end()) {
        lastError = BASS_ERROR_HANDLE;
        return DWORD(-1);
    }
    lastError = BASS_OK;
    return Position(handle, it->second);
}

BOOL BASS_Stop(void) {
    if (output == Output::kNone) return Fail(BASS_ERROR_INIT);
    if (started) {
        for (auto& [handle, stream] : streams) {
            if (!stream.playing) continue;
            stream.frozen =
                output == Output::kHeadless ? stream.lastPosition : Position(handle, stream);
        }
        started = false;
        if (output == Output::kPage) PageAudioRun(0);
    }
    lastError = BASS_OK;
    return TRUE;
}

void BASS_Free(void) {
    if (output == Output::kNone) {
        lastError = BASS_ERROR_INIT;
        return;
    }
    if (output == Output::kPage) PageAudioClose();
    streams.clear();
    output = Output::kNone;
    started = false;
    lastError = BASS_OK;
}
