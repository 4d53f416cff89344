// The audio library stand-in on Windows' own interfaces, run under Wine (or Windows): the Audio
// Compression Manager's decoding of the cases written by make-audio-cases against the Linux
// decoder's, and the BASS_* calls over it and waveOut.
// Usage: audio-windows-check CASES_DIR silent|device
// With "silent" there must be no sound device, and the decoding cases are checked too; with
// "device" there must be one. Prints a line per check and what it measured; exits 0 when every
// check passed.
#include <bass.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "winapi/bass/bass_state.h"
#include "winapi/bass/decoder.h"
#include "testing/failures.h"

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++failures;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

int16_t Sample(const std::vector<uint8_t>& pcm, size_t i) {
    return static_cast<int16_t>(pcm[i * 2] | pcm[i * 2 + 1] << 8);
}

// Largest difference between two decodes over the 16-bit values [from, to).
int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t from,
                  size_t to) {
    int largest = 0;
    for (size_t i = from; i < to; ++i)
        largest = std::max(largest, std::abs(Sample(a, i) - Sample(b, i)));
    return largest;
}

// Wine's codec rounds its synthesis filter's output differently from libmpg123 as Debian builds
// it: each 16-bit value may differ by this much. Lengths and the samples' places are the same.
constexpr int kTolerance = 2;

void CheckDecoding(const std::string& dir) {
    std::ifstream list(dir + "/cases.txt");
    std::string name;
    int expected = 0;
    int cases = 0;
    while (list >> name >> expected) {
        ++cases;
        std::vector<uint8_t> mp3 = ReadFile(dir + "/" + name + ".mp3");
        std::vector<uint8_t> reference = ReadFile(dir + "/" + name + ".pcm");
        std::vector<uint8_t> pcm;
        int status = static_cast<int>(audio::DecodeMpegAudio(mp3, &pcm));
        std::ostringstream what;
        what << name << ": status " << status << " (Linux " << expected << ")";
        if (status != expected || status != 0) {
            Check(status == expected, what.str());
            continue;
        }
        size_t values = pcm.size() / 2;
        what << ", " << pcm.size() / 4 << " stereo samples (Linux " << reference.size() / 4 << ")";
        if (pcm.size() != reference.size() || values < 2304) {
            Check(false, what.str());
            continue;
        }
        // The first and the last frame, then the whole stream.
        int first = MaxDifference(pcm, reference, 0, 2304);
        int last = MaxDifference(pcm, reference, values - 2304, values);
        int whole = MaxDifference(pcm, reference, 0, values);
        size_t differing = 0;
        for (size_t i = 0; i < values; ++i) differing += Sample(pcm, i) != Sample(reference, i);
        what << ", largest difference: first frame " << first << ", last frame " << last
             << ", whole " << whole << " (" << differing << " of " << values << " values differ)";
        Check(whole <= kTolerance, what.str());
    }
    Check(cases > 0, "cases read from " + dir + "/cases.txt: " + std::to_string(cases));
}

void CheckLibrary(const std::string& dir, bool wantDevice) {
    Check(BASS_GetVersion() == 0x70000, "BASS_GetVersion is 0.7");
    std::string error;
    testkit::InstallFailureInjection();
    testkit::ArmFailure("BASS_Init=3", &error);
    Check(!BASS_Init(-1, 44100, 0, nullptr) && BASS_ErrorGetCode() == 3,
          "an injected BASS_Init failure reports its code 3");
    testkit::ResetFailures();

    Check(BASS_Init(-1, 44100, 0, nullptr) != FALSE, "BASS_Init(-1, 44100, 0, 0)");
    bool device = audio::CurrentOutput() == audio::OutputKind::kDevice;
    bool silent = audio::CurrentOutput() == audio::OutputKind::kSilent;
    Check(wantDevice ? device && audio::ClockFollowsDevice() : silent,
          device ? "output: a waveOut device, its position what it has played"
                 : "output: silent, on monotonic time");
    BASS_Start();
    BASS_SetVolume(100);

    std::vector<uint8_t> text = ReadFile(dir + "/text.mp3");
    Check(BASS_StreamCreateFile(TRUE, text.data(), 0, DWORD(text.size()), 0) == 0 &&
              BASS_ErrorGetCode() == BASS_ERROR_FILEOPEN,
          "text is refused with BASS_ERROR_FILEOPEN");

    std::vector<uint8_t> music = ReadFile(dir + "/music.mp3");
    HSTREAM stream = BASS_StreamCreateFile(TRUE, music.data(), 0, DWORD(music.size()), 0);
    size_t reference = ReadFile(dir + "/music.pcm").size();
    Check(stream != 0 && audio::StreamPcm(stream).size() == reference,
          "the music's stream: " + std::to_string(audio::StreamPcm(stream).size()) + " bytes");
    // Half a second of playing: the position moves on, never back, and on the silent output never
    // ahead of the time since playing began, on the steady clock that output counts (1 ms given
    // for rounding). A position that stands still fails after the limit.
    constexpr DWORD kHalfSecond = 88200;
    constexpr auto kLimit = std::chrono::seconds(60);
    auto started = std::chrono::steady_clock::now();
    Check(BASS_StreamPlay(stream, FALSE, 0) != FALSE, "BASS_StreamPlay");
    DWORD last = 0;
    bool monotonic = true;
    while (last < kHalfSecond && std::chrono::steady_clock::now() - started < kLimit) {
        Sleep(5);
        DWORD position = BASS_ChannelGetPosition(stream);
        monotonic = monotonic && position >= last;
        last = position;
    }
    int64_t elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
    std::ostringstream played;
    played << "position after " << elapsedMs << " ms: " << last << " bytes ("
           << elapsedMs * 1764 / 10 << " in that time), never going back";
    // ALSA's null device takes audio as fast as it is given, and Wine counts it as played: there
    // only the order is checked.
    bool inTime = wantDevice || last <= (elapsedMs + 1) * 1764 / 10;
    Check(monotonic && last >= kHalfSecond && inTime, played.str());
    BASS_Stop();
    DWORD stopped = BASS_ChannelGetPosition(stream);
    Sleep(200);
    Check(BASS_ChannelGetPosition(stream) == stopped, "the position stands while stopped");
    BASS_Free();
    Check(BASS_ChannelGetPosition(stream) == DWORD(-1) && BASS_ErrorGetCode() == BASS_ERROR_INIT,
          "after BASS_Free the stream is gone");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[2] : "";
    if (mode != "silent" && mode != "device") {
        std::fprintf(stderr, "usage: %s CASES_DIR silent|device\n", argv[0]);
        return 2;
    }
    if (mode == "silent") CheckDecoding(argv[1]);
    CheckLibrary(argv[1], mode == "device");
    std::printf("%s\n", failures == 0 ? "all passed" : "FAILED");
    return failures == 0 ? 0 : 1;
}
