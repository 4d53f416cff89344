// Checks a capture of the audio output (SDL's disk driver file) against an MP3 stream: silence,
// then the stream's decoded audio byte for byte from its first sample, then silence.
// Usage: audio-capture-check CAPTURE.raw STREAM.mp3 MIN_SECONDS [--wait LIMIT_SECONDS]
// With --wait the capture is still being written: it is read again until it holds MIN_SECONDS of
// the stream (exit 0), differs from the stream (exit 1) or LIMIT_SECONDS have passed (exit 1).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "winapi/bass/decoder.h"

namespace {

std::vector<uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

enum class Verdict { kEnough, kTooShort, kDiffers };

struct Comparison {
    Verdict verdict;
    std::string report;  // one line
};

// Compares the capture with the decoded stream `pcm`. A capture that is silence so far, or whose
// sound is the stream's beginning followed by nothing but silence, is kTooShort while it holds
// less than `minSeconds` of the stream.
Comparison Compare(const std::vector<uint8_t>& capture, const std::vector<uint8_t>& pcm,
                   double minSeconds) {
    // Silence first; the stream begins on a whole sample at or before the first non-zero byte.
    size_t firstSound = 0;
    while (firstSound < capture.size() && capture[firstSound] == 0) ++firstSound;
    size_t streamLead = 0;
    while (streamLead < pcm.size() && pcm[streamLead] == 0) ++streamLead;
    if (firstSound == capture.size()) {
        return {Verdict::kTooShort,
                "capture: " + std::to_string(capture.size()) + " bytes of silence, no sound yet"};
    }
    if (firstSound < streamLead || (firstSound - streamLead) % 4 != 0) {
        return {Verdict::kDiffers, "capture: no sound where the stream should begin"};
    }
    size_t start = firstSound - streamLead;
    size_t matched = 0;
    while (start + matched < capture.size() && matched < pcm.size() &&
           capture[start + matched] == pcm[matched]) {
        ++matched;
    }
    for (size_t i = start + matched; i < capture.size(); ++i) {
        if (capture[i] != 0) {
            return {Verdict::kDiffers,
                    "capture: differs from the stream at its byte " + std::to_string(matched)};
        }
    }
    double seconds = static_cast<double>(matched) / audio::kBytesPerSecond;
    char report[160];
    std::snprintf(report, sizeof report,
                  "capture: %zu bytes of silence, then %zu bytes (%.2f s) of the stream, then "
                  "silence",
                  start, matched, seconds);
    return {seconds >= minSeconds ? Verdict::kEnough : Verdict::kTooShort, report};
}

}  // namespace

int main(int argc, char** argv) {
    bool waiting = argc == 6 && std::strcmp(argv[4], "--wait") == 0;
    if (argc != 4 && !waiting) {
        std::fprintf(stderr,
                     "usage: %s CAPTURE.raw STREAM.mp3 MIN_SECONDS [--wait LIMIT_SECONDS]\n",
                     argv[0]);
        return 2;
    }
    std::vector<uint8_t> mp3 = ReadFile(argv[2]);
    std::vector<uint8_t> pcm;
    if (audio::DecodeMpegAudio(mp3, &pcm) != audio::DecodeStatus::kOk) {
        std::fprintf(stderr, "%s: not MPEG audio\n", argv[2]);
        return 1;
    }
    double minSeconds = std::atof(argv[3]);
    auto started = std::chrono::steady_clock::now();
    auto limit = std::chrono::duration<double>(waiting ? std::atof(argv[5]) : 0);
    Comparison result = Compare(ReadFile(argv[1]), pcm, minSeconds);
    while (waiting && result.verdict == Verdict::kTooShort &&
           std::chrono::steady_clock::now() - started < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        result = Compare(ReadFile(argv[1]), pcm, minSeconds);
    }
    std::fprintf(result.verdict == Verdict::kDiffers ? stderr : stdout, "%s\n",
                 result.report.c_str());
    if (result.verdict == Verdict::kTooShort) {
        std::printf("capture: less than the %.2f s of the stream wanted%s\n", minSeconds,
                    waiting ? (" after waiting " + std::string(argv[5]) + " s").c_str() : "");
    }
    return result.verdict == Verdict::kEnough ? 0 : 1;
}
