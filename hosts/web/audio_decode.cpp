// The audio library's decoder on the page: the browser's own (Web Audio's decodeAudioData, in an
// offline context at 44100 Hz, so that the PCM has the rate and layout of the native decoders').
#include <emscripten.h>

#include <cstdio>
#include <new>

#include "winapi/bass/decoder.h"
#include "hosts/common/mpeg_frames.h"
#include "hosts/headless/headless.h"

namespace audio {
namespace {

// clang-format off
// Decodes `size` bytes into `frames` stereo samples at `out`; the count written, -1 on failure.
EM_ASYNC_JS(int, PageDecode, (const uint8_t* data, uint32_t size, uint8_t* out, uint32_t frames), {
    return await Morvanite.decode(HEAPU8.slice(data, data + size), out, frames);
});
// clang-format on

}  // namespace

// MPEG audio as the native decoders find it (the same frames, refused alike), decoded by the
// browser. The browser trims the encoder's delay and padding; the PCM is filled up with silence
// to the full length of every frame, as the native decoders give it. Where the browser can't
// decode the stream at all, it plays as silence of that length. The check mode (headless, on
// the virtual clock) plays no sound and never reads the PCM: it keeps the silence and leaves out
// the browser's decoder, which would hold the page for a second or more.
DecodeStatus DecodeMpegAudio(std::span<const uint8_t> data, std::vector<uint8_t>* pcm) {
    MpegFrames found;
    if (!FindMpegFrames(data, &found)) return DecodeStatus::kNotMpeg;
    uint64_t samples = (uint64_t)found.frames.size() * (uint64_t)found.first.samples * 44100 /
                       (uint64_t)found.first.sampleRate;
    if (samples > (1u << 28)) return DecodeStatus::kNoMemory;
    size_t start = pcm->size();
    try {
        pcm->resize(start + (size_t)samples * 4);
    } catch (const std::bad_alloc&) {
        return DecodeStatus::kNoMemory;
    }
    if (hosts::HeadlessClockInUse()) return DecodeStatus::kOk;
    if (PageDecode(data.data(), (uint32_t)data.size(), pcm->data() + start, (uint32_t)samples) <
        0) {
        std::fprintf(stderr, "morvanite: the browser can't decode the music; it plays silently\n");
    }
    return DecodeStatus::kOk;
}

}  // namespace audio
