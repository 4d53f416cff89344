// A decoder for builds that have none yet: every whole MPEG audio frame of the stream becomes its
// length of silence (1152 stereo samples per MPEG-1 Layer III frame at 44.1 kHz), so that the
// stream, its length and its play positions are what a real decoder would give, and nothing is
// heard. Streams of other rates are refused as unsupported.
#include <new>

#include "platform/audio/mp3_decode.h"
#include "platform/audio/mpeg_frames.h"

namespace audio {

DecodeStatus DecodeMpegAudio(std::span<const uint8_t> data, std::vector<uint8_t>* pcm) {
    MpegFrames found;
    if (!FindMpegFrames(data, &found)) return DecodeStatus::kNotMpeg;
    if (found.first.sampleRate != 44100) return DecodeStatus::kUnsupported;
    try {
        pcm->resize(pcm->size() + found.frames.size() * size_t(found.first.samples) * 4);
    } catch (const std::bad_alloc&) {
        return DecodeStatus::kNoMemory;
    }
    return DecodeStatus::kOk;
}

}  // namespace audio
