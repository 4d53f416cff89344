// The decoder behind the audio library stand-in: a whole MPEG audio stream, read in place from
// memory, into 44.1 kHz 16-bit stereo PCM. One decoder per build, chosen by the file linked in:
// hosts/common/mpg123_decode.cpp (libmpg123), hosts/windows/acm_decode.cpp (the Audio Compression
// Manager's MPEG Layer-3 codec).
//
// A decoder provides DecodeMpegAudio below, with the lengths and refusals it promises; it keeps
// no state between calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace audio {

// Bytes of decoded audio per second: 44100 stereo samples of two 16-bit channels.
inline constexpr uint32_t kBytesPerSecond = 176400;

enum class DecodeStatus {
    kOk,           // pcm holds the stream's audio (possibly empty of nothing but what it held)
    kNotMpeg,      // no MPEG audio frame where the stream should start
    kUnsupported,  // MPEG audio this decoder can't turn into 44.1 kHz 16-bit stereo (the ACM's
                   // codec takes Layer III only)
    kNoMemory,     // the decoded audio didn't fit in memory
    kDecoderError  // the decoder itself could not be set up
};

// Decodes `data` (read in place, never outside it) into interleaved little-endian 16-bit stereo
// PCM at 44100 Hz, appended to `pcm` as bytes. Every frame decodes to its full length (no gapless
// trimming), so an MPEG-1 Layer III stream of F frames gives F * 1152 * 4 bytes. Streams of other
// rates or channel counts are resampled and spread to stereo by the decoder. A stream cut short
// decodes to the whole frames it holds. Data that doesn't begin (after an ID3v2 tag, if any) with
// MPEG audio frames is refused with kNotMpeg.
DecodeStatus DecodeMpegAudio(std::span<const uint8_t> data, std::vector<uint8_t>* pcm);

}  // namespace audio
