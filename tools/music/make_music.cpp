// Writes the show's music, resources/122-music.mp3: renders the piece, encodes it with the fixed
// stream settings and reports the levels.
//   make_music <output.mp3>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dmath.h"
#include "mp3_encode.h"
#include "piece.h"

namespace {

// The stream holds 5384 frames; the encoder writes that many for this much input.
constexpr std::int64_t kInputSamples = 6200460;
constexpr std::int64_t kDecodedSamples = 5384 * 1152;
// Peak ceiling of the mix before encoding, full scale 1 (-3.1 dBFS); the encoding adds up to
// about 1.3 dB to the peaks, and the decoded stream must stay at or below -1 dBFS.
constexpr double kCeiling = 0.7;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.mp3>\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    music::RenderReport report;
    const music::Stereo piece = music::RenderPiece(kDecodedSamples, kCeiling, &report);
    const double renderTime = Seconds(start);

    // A decoder gives back sample n of the input as its sample n + kCodecDelay, so the input
    // starts kCodecDelay samples into the piece: decoded sample n is then sample n of the piece.
    std::vector<std::int16_t> pcm(2 * kInputSamples);
    double peak = 0;
    for (std::int64_t i = 0; i < kInputSamples; ++i) {
        const std::int64_t at = i + mp3enc::kCodecDelay;
        const double l = at < kDecodedSamples ? piece.l[at] : 0.0;
        const double r = at < kDecodedSamples ? piece.r[at] : 0.0;
        peak = std::max(peak, std::max(std::abs(l), std::abs(r)));
        pcm[2 * i] = static_cast<std::int16_t>(music::dmath::Round(l * 32767.0));
        pcm[2 * i + 1] = static_cast<std::int16_t>(music::dmath::Round(r * 32767.0));
    }
    const auto encodeStart = std::chrono::steady_clock::now();
    const std::vector<std::uint8_t> mp3 = mp3enc::EncodeStereo(pcm);
    const double encodeTime = Seconds(encodeStart);

    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(mp3.data(), 1, mp3.size(), file) != mp3.size() ||
        std::fclose(file) != 0) {
        std::fprintf(stderr, "make_music: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("make_music: %s, %zu bytes, %zu frames\n", argv[1], mp3.size(),
                mp3enc::FrameCount(kInputSamples));
    std::printf("  mix peak %.2f dBFS, limiter mean gain %.2f dB, output peak %.2f dBFS\n",
                20 * std::log10(report.mixPeak), 20 * std::log10(report.meanGain),
                20 * std::log10(peak));
    std::printf("  render %.2f s, encode %.2f s\n", renderTime, encodeTime);
    return 0;
}
