// MP3 encoder with the show's fixed stream settings, on top of libmp3lame.
#include "mp3_encode.h"

#include <lame/lame.h>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace mp3enc {

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using Lame = std::unique_ptr<lame_global_flags, LameDeleter>;

Lame OpenEncoder() {
    Lame lame(lame_init());
    if (!lame) throw std::runtime_error("lame_init failed");
    lame_set_in_samplerate(lame.get(), kSampleRate);
    lame_set_out_samplerate(lame.get(), kSampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), kBitrateKbps);
    lame_set_quality(lame.get(), 2);
    lame_set_bWriteVbrTag(lame.get(), 0);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    lame_set_original(lame.get(), 1);
    lame_set_copyright(lame.get(), 0);
    lame_set_error_protection(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) throw std::runtime_error("lame_init_params failed");
    return lame;
}

}  // namespace

std::vector<std::uint8_t> EncodeStereo(std::span<const std::int16_t> pcm) {
    if (pcm.size() % 2 != 0) throw std::invalid_argument("stereo PCM needs an even length");
    Lame lame = OpenEncoder();
    std::vector<std::uint8_t> out;
    // Chunked so the output buffer bound of the library stays small: 1.25 * n + 7200 bytes.
    constexpr std::size_t kChunk = 1152 * 16;
    std::vector<unsigned char> buffer(kChunk * 5 / 4 + 7200);
    const std::size_t samples = pcm.size() / 2;
    for (std::size_t at = 0; at < samples; at += kChunk) {
        const std::size_t n = std::min(kChunk, samples - at);
        // The library takes a non-const pointer but only reads the samples.
        auto* input = const_cast<short*>(reinterpret_cast<const short*>(pcm.data() + 2 * at));
        const int written = lame_encode_buffer_interleaved(
            lame.get(), input, static_cast<int>(n), buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) throw std::runtime_error("lame_encode_buffer_interleaved failed");
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    const int flushed =
        lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (flushed < 0) throw std::runtime_error("lame_encode_flush failed");
    out.insert(out.end(), buffer.begin(), buffer.begin() + flushed);
    return out;
}

std::size_t FrameCount(std::size_t samples) {
    // The encoder pads the input up to whole frames and always writes one frame more for its
    // lead-in.
    return (samples + kSamplesPerFrame - 1) / kSamplesPerFrame + 1;
}

std::vector<std::uint8_t> EncodeTone(std::size_t samples, double hz, int amplitude) {
    std::vector<std::int16_t> pcm(2 * samples);
    const double step = 2.0 * 3.14159265358979323846 * hz / kSampleRate;
    for (std::size_t i = 0; i < samples; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(amplitude * std::sin(step * i)));
        pcm[2 * i] = v;
        pcm[2 * i + 1] = v;
    }
    return EncodeStereo(pcm);
}

}  // namespace mp3enc
