// Headless host: runs the show without screen, sound or input, as fast as it can.
//
// Implements: a virtual music clock (after k flips at F frames per second the position is
// floor(k * 176400 / F) bytes, plus the time spent inactive), which also times the failures
// armed by script time; Escape pressed at a script time (once or several times in a row), while
// the loading screen shows or as the show ends (the Escape then comes before the close request);
// focus lost at one script time and regained at a later music time (the clock jumps there);
// per-flip hash lines; a sink that sees every flipped frame; PNG pictures of chosen frames and of
// the finished loading screen; message boxes recorded and printed to stderr; trace lines to a
// file; a fixed 640x480 screen. Leaves out: any real waiting (Flip never waits), sound,
// window-manager events.
#include "hosts/headless/headless.h"

#include <cstdio>
#include <cstdlib>

#include "hosts/common/frame.h"
#include "runtime/show.h"
#include "winapi/bass/virtual_clock.h"

namespace hosts {
namespace {

constexpr uint32_t kBytesPerSecond = 176400;
constexpr uint32_t kBytesPerUnit = show::kBytesPerUnit;
// A program that waits this often in a row while nothing is scheduled would wait forever.
constexpr int kHopelessWaits = 1000;

struct ShotTime {
    int time;
    bool taken;
};

class HeadlessMachine final : public winapi::Host {
  public:
    bool OpenWindow(const char*, HICON) override { return true; }
    void ShowWindow(bool) override {}
    void CloseWindow() override {}

    void PumpEvents() override {
        int nextT = (int)(Position() / kBytesPerUnit);
        if (options.escapeAt >= 0 && !escaped && nextT >= options.escapeAt) {
            escaped = true;
            for (int press = 0; press < options.escapePresses; ++press) PressEscape();
        }
        if (options.deactivateAt >= 0 && !deactivated && nextT >= options.deactivateAt) {
            deactivated = true;
            waitingForFocus = true;
            winapi::SetAppActive(false);
        }
    }

    void WaitEvent() override {
        if (waitingForFocus && options.activateAt >= 0) {
            waitingForFocus = false;
            idleWaits = 0;
            uint32_t target = (uint32_t)options.activateAt * kBytesPerUnit;
            uint32_t now = Position();
            if (target > now) inactiveBytes += target - now;
            winapi::SetAppActive(true);
            return;
        }
        if (++idleWaits >= kHopelessWaits) {
            std::fprintf(stderr,
                         "headless: the program waits for input that will never come; giving "
                         "up\n");
            std::fflush(stdout);
            std::_Exit(3);
        }
    }

    void PresentFrame(const uint16_t* pixels, int width, int height, int pitch) override {
        idleWaits = 0;
        uint32_t position = clockRead ? lastRead : Position();
        int t = (int)(position / kBytesPerUnit);
        if (hashes != nullptr) {
            const char* label = labeller != nullptr ? labeller() : nullptr;
            std::fprintf(hashes, "%lld %d %s %016llx\n", (long long)flips, t,
                         label != nullptr ? label : "-",
                         (unsigned long long)FrameHash(pixels, width, height, pitch));
        }
        for (ShotTime& shot : shots) {
            if (shot.taken || t < shot.time) continue;
            shot.taken = true;
            std::string name = std::to_string(shot.time);
            name.insert(name.begin(), 't');
            Picture(name, pixels, width, height, pitch);
        }
        if (sink) sink(pixels, width, height, pitch, flips, t);
        ++flips;
        lastFlipT = t;
    }

    void RefreshScreen(const uint16_t*, int, int, int) override {
        // The loading screen is being drawn: nothing reads messages until the show starts.
        if (options.escapeWhileLoading && !clockRead && !escapedWhileLoading) {
            escapedWhileLoading = true;
            PressEscape();
        }
    }

    // Repeat count 1, scan code 1 (Escape) in bits 16..23.
    static void PressEscape() { winapi::PostToMainWindow(WM_KEYDOWN, VK_ESCAPE, 0x00010001); }

    void ShowMessageBox(const char* text, const char* caption) override {
        boxes.push_back(RecordedBox{caption, text});
        std::fprintf(stderr, "message box \"%s\":\n%s\n", caption, text);
    }

    void DebugOutput(const char* line) override {
        if (capturingTrace) tracedLines.push_back(line);
        if (traceFile != nullptr) {
            std::fputs(line, traceFile);
            std::fputc('\n', traceFile);
        }
    }

    int ScreenWidth() override { return 640; }
    int ScreenHeight() override { return 480; }

    uint32_t Position() const {
        return (uint32_t)((uint64_t)flips * kBytesPerSecond / (uint64_t)options.fps) +
               inactiveBytes;
    }

    uint32_t ReadClock() {
        if (!clockRead) {
            clockRead = true;
            LoadingDone();
        }
        lastRead = Position();
        if (clockObserver != nullptr) clockObserver(lastRead / kBytesPerUnit);
        return lastRead;
    }

    void LoadingDone() {
        if (!options.shotLoad || loadShotTaken) return;
        loadShotTaken = true;
        int width = 0, height = 0;
        std::vector<uint16_t> frame = winapi::VisibleFrame(&width, &height);
        if (!frame.empty()) Picture("load", frame.data(), width, height, width * 2);
    }

    void Picture(const std::string& name, const uint16_t* pixels, int width, int height,
                 int pitch) {
        std::string error;
        std::string path = options.shotsDir + "/" + name + ".png";
        if (!WriteFramePng(path, pixels, width, height, pitch, 0xF800, 0x07E0, 0x001F, &error)) {
            std::fprintf(stderr, "headless: %s\n", error.c_str());
            writeFailed = true;
        }
    }

    void Reset() {
        if (hashes != nullptr) std::fclose(hashes);
        *this = HeadlessMachine();
    }

    HeadlessOptions options;
    FILE* hashes = nullptr;
    std::vector<ShotTime> shots;
    const char* (*labeller)() = nullptr;
    FrameSink sink;
    void (*clockObserver)(int64_t scriptTime) = nullptr;
    FILE* traceFile = nullptr;
    bool capturingTrace = false;
    std::vector<std::string> tracedLines;
    std::vector<RecordedBox> boxes;
    int64_t flips = 0;
    int lastFlipT = -1;
    uint32_t inactiveBytes = 0;
    uint32_t lastRead = 0;
    bool clockRead = false;
    bool musicStarted = false;
    bool loadShotTaken = false;
    bool escaped = false;
    bool escapedWhileLoading = false;
    bool escapedWhileEnding = false;
    bool deactivated = false;
    bool waitingForFocus = false;
    bool writeFailed = false;
    int idleWaits = 0;
};

HeadlessMachine& Instance() {
    static HeadlessMachine instance;
    return instance;
}

// The audio library plays on the virtual clock whenever this host is the selected one.
const audio::VirtualClock kMusicClock{HeadlessClockInUse, HeadlessMusicPosition,
                                      HeadlessMusicStarted, nullptr, HeadlessMusicStopped};

}  // namespace

void UseHeadless() {
    winapi::SetHost(&Instance());
    audio::InstallVirtualClock(&kMusicClock);
}

winapi::Host& HeadlessHost() {
    return Instance();
}

bool ParseShotTimes(const std::string& list, HeadlessOptions* options) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma == std::string::npos ? comma : comma - start);
        char* end = nullptr;
        long time = std::strtol(item.c_str(), &end, 10);
        if (item == "load") {
            options->shotLoad = true;
        } else if (!item.empty() && *end == '\0' && time >= 0 && time <= 1000000000) {
            options->shotTimes.push_back((int)time);
        } else {
            return false;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

bool ConfigureHeadless(const HeadlessOptions& options, std::string* error) {
    HeadlessMachine& headless = Instance();
    if (options.fps <= 0) {
        *error = "the frame rate must be 1 or more";
        return false;
    }
    headless.options = options;
    headless.shots.clear();
    for (int time : options.shotTimes) headless.shots.push_back(ShotTime{time, false});
    if (!options.hashesPath.empty()) {
        if (headless.hashes != nullptr) std::fclose(headless.hashes);
        headless.hashes = std::fopen(options.hashesPath.c_str(), "wb");
        if (headless.hashes == nullptr) {
            *error = "can't write " + options.hashesPath;
            return false;
        }
    }
    return true;
}

void ResetHeadless() {
    Instance().Reset();
}

bool FinishHeadless(std::string* error) {
    HeadlessMachine& headless = Instance();
    bool ok = !headless.writeFailed;
    if (headless.hashes != nullptr) {
        ok = std::fclose(headless.hashes) == 0 && ok;
        headless.hashes = nullptr;
    }
    if (!ok) *error = "writing the frame records failed";
    return ok;
}

void SetTraceFile(FILE* file) {
    Instance().traceFile = file;
}

void SetFrameLabeller(const char* (*labeller)()) {
    Instance().labeller = labeller;
}

void SetFrameSink(FrameSink sink) {
    Instance().sink = std::move(sink);
}

void SetClockObserver(void (*observer)(int64_t scriptTime)) {
    Instance().clockObserver = observer;
}

HeadlessSummary HeadlessResults() {
    return HeadlessSummary{Instance().flips, Instance().lastFlipT, (int)Instance().boxes.size()};
}

const std::vector<RecordedBox>& RecordedBoxes() {
    return Instance().boxes;
}

void ForgetRecordedBoxes() {
    Instance().boxes.clear();
}

void CaptureTrace(bool capture) {
    Instance().capturingTrace = capture;
    Instance().tracedLines.clear();
}

const std::vector<std::string>& CapturedTrace() {
    return Instance().tracedLines;
}

bool HeadlessClockInUse() {
    return winapi::IsCurrentHost(&Instance());
}

uint32_t HeadlessMusicPosition() {
    return Instance().ReadClock();
}

void HeadlessMusicStarted() {
    HeadlessMachine& headless = Instance();
    if (headless.musicStarted) return;
    headless.musicStarted = true;
    headless.LoadingDone();
}

void HeadlessMusicStopped() {
    HeadlessMachine& headless = Instance();
    if (!headless.options.escapeWhileEnding || headless.escapedWhileEnding) return;
    headless.escapedWhileEnding = true;
    HeadlessMachine::PressEscape();
}

}  // namespace hosts
