// morvanite-render: the show on the headless backend, for tests and offline work. It runs as fast
// as it can against a virtual clock and records what it shows.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hosts/headless/headless.h"
#include "programs/render/capture/capture.h"
#include "runtime/script.h"
#include "testing/testing.h"
#include "video/display.h"
#include "winapi/kernel32/resources.h"

namespace {

const char kUsage[] =
    "usage: morvanite-render [options]\n"
    "  --fps N                    virtual frames per second of the clock (default 60)\n"
    "  --hashes FILE              one line per flip: index, t, active part, frame hash\n"
    "  --shots DIR --at LIST      pictures of the frames at the script times of LIST\n"
    "                             (comma-separated; 'load' pictures the loading screen)\n"
    "  --escape-at T[xK]          press Escape when the clock reaches T (K times in a row)\n"
    "  --escape-at load|end       ... while the loading screen shows | as the show ends\n"
    "  --deactivate-at T          lose the focus when the clock reaches T ...\n"
    "  --activate-at T2           ... and get it back when the music reaches T2\n"
    "  --fail NAME[@N|@tT][xK][=CODE]\n"
    "                             make the N-th call of NAME fail, or the first call once the\n"
    "                             clock has reached T; xK: K calls in a row (repeatable)\n"
    "  --resource ID=FILE         use FILE's bytes as resource ID; ID= removes it (repeatable)\n"
    "  --trace FILE               write the program's trace lines to FILE\n"
    "  --calls FILE               write how often each failing function was called\n"
    "video capture (frame k of the video is the k-th flip, at --fps; the music as soundtrack):\n"
    "  --video FILE               write the show as a video: H.264 and AAC in MP4\n"
    "  --lossless                 ... as FFV1 with RGB pixels and FLAC in Matroska instead\n"
    "  --wav FILE                 write the soundtrack alone as a WAV file\n"
    "  --scale N                  enlarge each frame N times, sharp pixels (default 4;\n"
    "                             1 with --lossless)\n"
    "  --preset NAME              libx264's speed preset (default veryfast)\n"
    "  --crf N                    libx264's quality, 0 (lossless) to 51 (default 18)\n"
    "  --from T --to T2           capture only the script times T up to T2\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "morvanite-render: %s (--help lists the options)\n", problem.c_str());
    return 2;
}

bool ReadInt(const char* text, int* value) {
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 1000000000) return false;
    *value = (int)parsed;
    return true;
}

// Closes `file`; false when it or a line written to it failed.
bool CloseFile(FILE* file) {
    const bool failed = std::ferror(file) != 0;
    return std::fclose(file) == 0 && !failed;
}

// --escape-at: a time with an optional repeat count, or one of the two moments.
bool ReadEscape(const std::string& text, hosts::HeadlessOptions* options) {
    if (text == "load" || text == "end") {
        (text == "load" ? options->escapeWhileLoading : options->escapeWhileEnding) = true;
        return true;
    }
    size_t repeat = text.find('x');
    if (!ReadInt(text.substr(0, repeat).c_str(), &options->escapeAt)) return false;
    return repeat == std::string::npos ||
           (ReadInt(text.substr(repeat + 1).c_str(), &options->escapePresses) &&
            options->escapePresses >= 1);
}

// --resource ID=FILE replaces resource ID (of whatever type it has) by FILE's bytes; ID= removes
// it. False with a reason when the id is not one of the program's or FILE can't be read.
bool OverrideResource(const std::string& request, std::string* error) {
    size_t equals = request.find('=');
    int id = 0;
    if (equals == std::string::npos || !ReadInt(request.substr(0, equals).c_str(), &id)) {
        *error = "--resource needs ID=FILE or ID=";
        return false;
    }
    const char* type = nullptr;
    for (const winapi::EmbeddedResource* row = winapi::kEmbeddedResources; row->type != nullptr;
         ++row) {
        if (row->id == id) type = row->type;
    }
    if (type == nullptr) {
        *error = "--resource: the program has no resource " + std::to_string(id);
        return false;
    }
    std::string path = request.substr(equals + 1);
    if (path.empty()) {
        winapi::RemoveResource(type, id);
        return true;
    }
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        *error = "--resource: can't read " + path;
        return false;
    }
    winapi::RegisterResource(type, id, bytes.data(), bytes.size());
    return true;
}

// Writes "NAME COUNT" for every function that counts its calls; false when that failed.
bool WriteCallCounts(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return false;
    for (const auto& [name, count] : testkit::CountedCalls()) {
        std::fprintf(file, "%s %lld\n", name.c_str(), (long long)count);
    }
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    hosts::HeadlessOptions options;
    std::string tracePath;
    capture::Settings capture;
    bool captureTuned = false;
    std::string callsPath;
    bool haveAt = false;
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (i > 1) commandLine += ' ';
        commandLine += option;
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (option == "--lossless") {
            capture.lossless = captureTuned = true;
            continue;
        }
        if (i + 1 >= argc) return Usage("missing value after " + option);
        const char* value = argv[++i];
        commandLine += ' ';
        commandLine += value;
        std::string error;
        if (option == "--fps") {
            if (!ReadInt(value, &options.fps) || options.fps == 0) {
                return Usage("--fps needs a whole number of 1 or more");
            }
        } else if (option == "--hashes") {
            options.hashesPath = value;
        } else if (option == "--shots") {
            options.shotsDir = value;
        } else if (option == "--at") {
            if (!hosts::ParseShotTimes(value, &options)) {
                return Usage("--at needs script times and 'load', separated by commas");
            }
            haveAt = true;
        } else if (option == "--escape-at") {
            if (!ReadEscape(value, &options)) {
                return Usage("--escape-at needs a time T or TxK, 'load' or 'end'");
            }
        } else if (option == "--deactivate-at") {
            if (!ReadInt(value, &options.deactivateAt))
                return Usage("--deactivate-at needs a time");
        } else if (option == "--activate-at") {
            if (!ReadInt(value, &options.activateAt)) return Usage("--activate-at needs a time");
        } else if (option == "--fail") {
            if (!testkit::ArmFailure(value, &error)) return Usage("--fail: " + error);
        } else if (option == "--resource") {
            if (!OverrideResource(value, &error)) return Usage(error);
        } else if (option == "--trace") {
            tracePath = value;
        } else if (option == "--video" || option == "--wav") {
            (option == "--video" ? capture.videoPath : capture.wavPath) = value;
        } else if (option == "--preset") {
            capture.preset = value;
            captureTuned = true;
        } else if (option == "--scale" || option == "--crf" || option == "--from" ||
                   option == "--to") {
            int* field = option == "--scale"  ? &capture.scale
                         : option == "--crf"  ? &capture.crf
                         : option == "--from" ? &capture.from
                                              : &capture.to;
            if (!ReadInt(value, field) || (field == &capture.scale && *field == 0)) {
                return Usage(option + " needs a whole number" +
                             (field == &capture.scale ? " of 1 or more" : ""));
            }
            captureTuned = true;
        } else if (option == "--calls") {
            callsPath = value;
        } else {
            return Usage("unknown option " + option);
        }
    }
    if (haveAt != !options.shotsDir.empty()) return Usage("--shots and --at go together");
    if ((options.deactivateAt >= 0) != (options.activateAt >= 0)) {
        return Usage("--deactivate-at and --activate-at go together");
    }
    bool capturing = !capture.videoPath.empty() || !capture.wavPath.empty();
    if (captureTuned && !capturing) {
        return Usage(
            "--lossless, --scale, --preset, --crf, --from and --to go with --video or --wav");
    }
    if (capturing && options.deactivateAt >= 0) {
        return Usage("--video and --wav can't follow a focus change: the clock jumps there");
    }
    if (capturing && capture.to >= 0 && (options.escapeAt < 0 || capture.to < options.escapeAt)) {
        options.escapeAt = capture.to;  // the show ends where the clip does
    }
    if (!options.shotsDir.empty()) {
        std::error_code failure;
        std::filesystem::create_directories(options.shotsDir, failure);
        if (failure) return Usage("can't make " + options.shotsDir + ": " + failure.message());
    }

    std::string error;
    testkit::UseHeadlessWithFailures();
    if (!hosts::ConfigureHeadless(options, &error)) return Usage(error);
    FILE* traceFile = nullptr;
    if (!tracePath.empty()) {
        traceFile = std::fopen(tracePath.c_str(), "wb");
        if (traceFile == nullptr) return Usage("can't write " + tracePath);
        hosts::SetTraceFile(traceFile);
    }
    hosts::SetFrameLabeller([] { return ScriptPartName(Parte_activa); });
    if (capturing) {
        int end = Script[kScriptRows - 1].start;
        if (options.escapeAt >= 0) end = std::min(end, options.escapeAt);
        if (!capture::Begin(capture, options.fps, end, &error)) {
            std::fprintf(stderr, "morvanite-render: %s\n", error.c_str());
            return 2;
        }
        hosts::SetFrameSink(capture::Frame);
    }

    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
    // The display's teardown, which the process exit would run after main: here, in order, so
    // that its trace lines reach the file before it is closed.
    mainDisplay.Close();

    bool written = hosts::FinishHeadless(&error);
    if (traceFile != nullptr) {
        hosts::SetTraceFile(nullptr);
        if (!CloseFile(traceFile) && written) {
            written = false;
            error = "writing " + tracePath + " failed";
        }
    }
    if (capturing && !capture::Finish(&error)) {
        std::fprintf(stderr, "morvanite-render: %s\n", error.c_str());
        return 2;
    }
    if (!callsPath.empty() && !WriteCallCounts(callsPath)) {
        written = false;
        error = "writing " + callsPath + " failed";
    }
    hosts::HeadlessSummary summary = hosts::HeadlessResults();
    std::printf("flips=%lld last_t=%d boxes=%d exit=%d\n", (long long)summary.flips, summary.lastT,
                summary.boxes, exitCode);
    std::fflush(stdout);
    if (!written) {
        // The show ran, but its records are incomplete: that must not pass for success.
        std::fprintf(stderr, "morvanite-render: %s\n", error.c_str());
        exitCode = exitCode != 0 ? exitCode : 2;
    }
    return exitCode;
}
