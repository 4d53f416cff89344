// MP3 encoder with the show's fixed stream settings, for the music generator and for tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mp3enc {

// The stream form every encode here produces: MPEG-1 Layer III, constant 128 kbit/s,
// 44.1 kHz, joint stereo, no Xing/Info or ID3 tag.
inline constexpr int kSampleRate = 44100;
inline constexpr int kBitrateKbps = 128;
inline constexpr int kSamplesPerFrame = 1152;

// Sound comes out of a decoder (libmpg123, ffmpeg) this many samples after it went into the
// encoder: the encoder's own 576-sample lead-in plus the decoder's 529-sample filter bank delay.
inline constexpr int kCodecDelay = 1105;

// Encodes interleaved 16-bit stereo PCM (left, right, left, ...; pcm.size() must be even)
// into a complete MP3 stream. The same input always gives the same bytes.
std::vector<std::uint8_t> EncodeStereo(std::span<const std::int16_t> pcm);

// Number of frames EncodeStereo writes for the given number of stereo samples; for one sample
// or more the stream decodes to FrameCount(samples) * kSamplesPerFrame stereo samples (an
// empty input still gives one frame, which libmpg123 does not decode on its own).
std::size_t FrameCount(std::size_t samples);

// A test signal: `samples` stereo samples of a sine tone of `hz` Hz at `amplitude`
// (0..32767), the same tone in both channels, encoded with EncodeStereo.
std::vector<std::uint8_t> EncodeTone(std::size_t samples, double hz = 440.0, int amplitude = 8000);

}  // namespace mp3enc
