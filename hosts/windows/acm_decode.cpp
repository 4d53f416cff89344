// MPEG audio decoder on the Audio Compression Manager: the whole frames of the stream
// (mpeg_frames.h) through the MPEG Layer-3 codec into 44.1 kHz 16-bit stereo PCM, in one
// non-real-time conversion stream; where the codec can't give 44.1 kHz stereo itself, it decodes
// at the stream's own rate and channels and the ACM's PCM converter makes 44.1 kHz stereo of that.
// Layers I and II, which the codec doesn't take, are refused as unsupported.
#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "winapi/bass/decoder.h"
#include "hosts/common/mpeg_frames.h"

namespace audio {
namespace {

// Bytes of MP3 handed to the codec per conversion: about a hundred and fifty frames.
constexpr DWORD kSourceChunk = 1 << 16;

class AcmStream {
  public:
    ~AcmStream() {
        if (handle_) acmStreamClose(handle_, 0);
    }
    MMRESULT Open(WAVEFORMATEX* source, WAVEFORMATEX* target) {
        return acmStreamOpen(&handle_, nullptr, source, target, nullptr, 0, 0,
                             ACM_STREAMOPENF_NONREALTIME);
    }
    // Converts `source` (empty to flush at the end), appending the PCM to `target`. Sets *used to
    // the source bytes the codec took. False when the codec fails.
    bool Convert(uint8_t* source, DWORD length, DWORD flags, std::vector<uint8_t>* target,
                 DWORD* used) {
        DWORD room = 0;
        if (acmStreamSize(handle_, std::max<DWORD>(length, 1), &room, ACM_STREAMSIZEF_SOURCE) !=
                MMSYSERR_NOERROR ||
            room < kMinimumRoom) {
            room = kMinimumRoom;
        }
        uint8_t none = 0;
        buffer_.resize(room);
        ACMSTREAMHEADER header{};
        header.cbStruct = sizeof header;
        header.pbSrc = length > 0 ? source : &none;
        header.cbSrcLength = length;
        header.pbDst = buffer_.data();
        header.cbDstLength = room;
        if (acmStreamPrepareHeader(handle_, &header, 0) != MMSYSERR_NOERROR) return false;
        MMRESULT result = acmStreamConvert(handle_, &header, flags);
        acmStreamUnprepareHeader(handle_, &header, 0);
        if (result != MMSYSERR_NOERROR) return false;
        *used = std::min(header.cbSrcLengthUsed, length);
        DWORD made = std::min(header.cbDstLengthUsed, room);
        target->insert(target->end(), buffer_.begin(), buffer_.begin() + made);
        return true;
    }

  private:
    // Ten frames of PCM at the least, whatever the codec estimates.
    static constexpr DWORD kMinimumRoom = 10 * 1152 * 4;
    HACMSTREAM handle_ = nullptr;
    std::vector<uint8_t> buffer_;
};

// 16-bit PCM at `rate` Hz with `channels` channels.
WAVEFORMATEX PcmFormat(int rate, int channels) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(2 * channels);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

// Runs the whole of `input` through `stream`, appending what comes out to `output`. Stops early,
// keeping what it has, where the codec fails or takes no more.
void ConvertAll(AcmStream& stream, std::vector<uint8_t>& input, std::vector<uint8_t>* output) {
    size_t at = 0;
    DWORD flags = ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_BLOCKALIGN;
    while (at < input.size()) {
        DWORD length = static_cast<DWORD>(std::min<size_t>(input.size() - at, kSourceChunk));
        DWORD used = 0;
        size_t before = output->size();
        if (!stream.Convert(input.data() + at, length, flags, output, &used)) return;
        flags = ACM_STREAMCONVERTF_BLOCKALIGN;
        if (used == 0 && output->size() == before) break;
        at += used;
    }
    DWORD used = 0;
    stream.Convert(nullptr, 0, ACM_STREAMCONVERTF_END, output, &used);
}

}  // namespace

DecodeStatus DecodeMpegAudio(std::span<const uint8_t> data, std::vector<uint8_t>* pcm) {
    MpegFrames found;
    if (!FindMpegFrames(data, &found)) return DecodeStatus::kNotMpeg;
    const MpegFrameHeader& first = found.first;
    if (first.layer != 3) return DecodeStatus::kUnsupported;

    MPEGLAYER3WAVEFORMAT source{};
    source.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    source.wfx.nChannels = static_cast<WORD>(first.channels);
    source.wfx.nSamplesPerSec = static_cast<DWORD>(first.sampleRate);
    source.wfx.nAvgBytesPerSec = static_cast<DWORD>(first.bitrate / 8);
    source.wfx.nBlockAlign = 1;
    source.wfx.wBitsPerSample = 0;
    source.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    source.wID = MPEGLAYER3_ID_MPEG;
    source.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
    source.nBlockSize = static_cast<WORD>(first.samples / 8 * first.bitrate / first.sampleRate);
    source.nFramesPerBlock = 1;
    source.nCodecDelay = 0;
    WAVEFORMATEX target = PcmFormat(44100, 2);

    size_t start = pcm->size();
    try {
        std::vector<uint8_t> frames;
        for (auto frame : found.frames) frames.insert(frames.end(), frame.begin(), frame.end());

        AcmStream direct;
        MMRESULT opened = direct.Open(&source.wfx, &target);
        if (opened == MMSYSERR_NOERROR) {
            ConvertAll(direct, frames, pcm);
        } else if (opened == ACMERR_NOTPOSSIBLE) {
            // The codec keeps the stream's rate and channels: decode to those, then let the
            // PCM converter make 44.1 kHz stereo of it.
            WAVEFORMATEX native = PcmFormat(first.sampleRate, first.channels);
            AcmStream decode, convert;
            if (decode.Open(&source.wfx, &native) != MMSYSERR_NOERROR ||
                convert.Open(&native, &target) != MMSYSERR_NOERROR) {
                return DecodeStatus::kUnsupported;
            }
            std::vector<uint8_t> decoded;
            ConvertAll(decode, frames, &decoded);
            ConvertAll(convert, decoded, pcm);
        } else {
            return DecodeStatus::kDecoderError;
        }
    } catch (const std::bad_alloc&) {
        pcm->resize(start);
        pcm->shrink_to_fit();
        return DecodeStatus::kNoMemory;
    }
    pcm->resize(start + (pcm->size() - start) / 4 * 4);
    return DecodeStatus::kOk;
}

}  // namespace audio
