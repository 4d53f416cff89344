// morvanite-render: the show on the headless backend, for tests and offline work. It runs as fast
// as it can against a virtual clock and records what it shows.
#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/failures.h"
#include "platform/headless/headless.h"
#include "platform/resources.h"
#include "platform/trace_sink.h"
#include "runtime/script.h"

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
    "  --calls FILE               write how often each failing function was called\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "morvanite-render: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

bool ReadInt(const char* text, int* value) {
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 1000000000) return false;
    *value = (int)parsed;
    return true;
}

bool ReadTimes(const std::string& list, platform::HeadlessOptions* options) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma == std::string::npos ? comma : comma - start);
        int time = 0;
        if (item == "load") {
            options->shotLoad = true;
        } else if (ReadInt(item.c_str(), &time)) {
            options->shotTimes.push_back(time);
        } else {
            return false;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

// --escape-at: a time with an optional repeat count, or one of the two moments.
bool ReadEscape(const std::string& text, platform::HeadlessOptions* options) {
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
    for (const platform::EmbeddedResource* row = platform::kEmbeddedResources; row->type != nullptr;
         ++row) {
        if (row->id == id) type = row->type;
    }
    if (type == nullptr) {
        *error = "--resource: the program has no resource " + std::to_string(id);
        return false;
    }
    std::string path = request.substr(equals + 1);
    if (path.empty()) {
        platform::RemoveResource(type, id);
        return true;
    }
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        *error = "--resource: can't read " + path;
        return false;
    }
    platform::RegisterResource(type, id, bytes.data(), bytes.size());
    return true;
}

// Writes "NAME COUNT" for every function that counts its calls; false when that failed.
bool WriteCallCounts(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return false;
    for (const auto& [name, count] : platform::CountedCalls()) {
        std::fprintf(file, "%s %lld\n", name.c_str(), (long long)count);
    }
    return std::fclose(file) == 0;
}

// The class name of the active part, for the hash lines.
std::string ActivePartName() {
    if (Parte_activa == nullptr) return "-";
    const char* mangled = typeid(*Parte_activa).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(mangled);
}

}  // namespace

int main(int argc, char** argv) {
    platform::HeadlessOptions options;
    std::string tracePath;
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
            if (!ReadTimes(value, &options)) {
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
            if (!platform::ArmFailure(value, &error)) return Usage("--fail: " + error);
        } else if (option == "--resource") {
            if (!OverrideResource(value, &error)) return Usage(error);
        } else if (option == "--trace") {
            tracePath = value;
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
    if (!options.shotsDir.empty()) {
        std::error_code failure;
        std::filesystem::create_directories(options.shotsDir, failure);
        if (failure) return Usage("can't make " + options.shotsDir + ": " + failure.message());
    }

    std::string error;
    platform::SetBackend(&platform::HeadlessBackend());
    if (!platform::ConfigureHeadless(options, &error)) return Usage(error);
    FILE* trace = nullptr;
    if (!tracePath.empty()) {
        trace = std::fopen(tracePath.c_str(), "w");
        if (trace == nullptr) return Usage("can't write " + tracePath);
        platform::SetTraceFile(trace);
    }
    platform::SetFrameLabeller(ActivePartName);

    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);

    bool written = platform::FinishHeadless(&error);
    if (trace != nullptr) {
        platform::SetTraceFile(nullptr);
        if (std::fclose(trace) != 0) {
            written = false;
            error = "writing " + tracePath + " failed";
        }
    }
    if (!callsPath.empty() && !WriteCallCounts(callsPath)) {
        written = false;
        error = "writing " + callsPath + " failed";
    }
    platform::HeadlessSummary summary = platform::HeadlessResults();
    std::printf("flips=%lld last_t=%d boxes=%d exit=%d\n", (long long)summary.flips, summary.lastT,
                platform::MessageBoxCount(), exitCode);
    std::fflush(stdout);
    if (!written) {
        // The show ran, but its records are incomplete: that must not pass for success.
        std::fprintf(stderr, "morvanite-render: %s\n", error.c_str());
        return exitCode != 0 ? exitCode : 2;
    }
    return exitCode;
}
