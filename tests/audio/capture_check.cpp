// Checks a capture of the audio output (SDL's disk driver file) against an MP3 stream: silence,
// then the stream's decoded audio byte for byte from its first sample, then silence.
// Usage: audio-capture-check CAPTURE.raw STREAM.mp3 MIN_SECONDS
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "winapi/bass/decoder.h"

namespace {

std::vector<uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s CAPTURE.raw STREAM.mp3 MIN_SECONDS\n", argv[0]);
        return 2;
    }
    std::vector<uint8_t> capture = ReadFile(argv[1]);
    std::vector<uint8_t> mp3 = ReadFile(argv[2]);
    std::vector<uint8_t> pcm;
    if (audio::DecodeMpegAudio(mp3, &pcm) != audio::DecodeStatus::kOk) {
        std::fprintf(stderr, "%s: not MPEG audio\n", argv[2]);
        return 1;
    }
    // Silence first; the stream begins on a whole sample at or before the first non-zero byte.
    size_t firstSound = 0;
    while (firstSound < capture.size() && capture[firstSound] == 0) ++firstSound;
    size_t streamLead = 0;
    while (streamLead < pcm.size() && pcm[streamLead] == 0) ++streamLead;
    if (firstSound == capture.size() || firstSound < streamLead ||
        (firstSound - streamLead) % 4 != 0) {
        std::fprintf(stderr, "capture: no sound where the stream should begin\n");
        return 1;
    }
    size_t start = firstSound - streamLead;
    size_t matched = 0;
    while (start + matched < capture.size() && matched < pcm.size() &&
           capture[start + matched] == pcm[matched]) {
        ++matched;
    }
    for (size_t i = start + matched; i < capture.size(); ++i) {
        if (capture[i] != 0) {
            std::fprintf(stderr, "capture: differs from the stream at its byte %zu\n", matched);
            return 1;
        }
    }
    double seconds = static_cast<double>(matched) / audio::kBytesPerSecond;
    std::printf(
        "capture: %zu bytes of silence, then %zu bytes (%.2f s) of the stream, then "
        "silence\n",
        start, matched, seconds);
    return seconds >= std::atof(argv[3]) ? 0 : 1;
}
