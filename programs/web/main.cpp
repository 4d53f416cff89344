// The show in a web page. Without parameters the page plays it live; ?hashes and ?shots=T1,T2
// run it on the virtual clock of morvanite-render (at ?fps=N, default 60) and put on the page the
// hash lines and the pictures that morvanite-render would write; ?fail=NAME[@N][=CODE],... arms
// failures as its --fail does.
#include <emscripten.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "hosts/headless/headless.h"
#include "hosts/web/web.h"
#include "runtime/script.h"
#include "testing/testing.h"
#include "video/display.h"
#include "winapi/bass/play_clock.h"
#include "winapi/bass/virtual_clock.h"

namespace {

constexpr char kHashesPath[] = "/hashes.txt";

// clang-format off
EM_JS(void, PageChecked, (const char* hashes, const char* summary), {
    Morvanite.checked(UTF8ToString(hashes), UTF8ToString(summary));
});
EM_JS(void, PageEnded, (int exitCode, const char* problem), {
    Morvanite.ended(exitCode, UTF8ToString(problem));
});
EM_ASYNC_JS(void, PageWaitForGesture, (), {
    await Morvanite.waitForGesture();
});
EM_JS(double, PageClockMs, (), {
    return Morvanite.pageClockMs();
});
// clang-format on

// The music starts: on the page, only once the visitor has clicked or pressed a key (browsers
// start sound only after a gesture), so the show's clock starts then too.
void MusicStarted() {
    if (hosts::HeadlessClockInUse()) {
        hosts::HeadlessMusicStarted();
    } else {
        PageWaitForGesture();
    }
}
const audio::VirtualClock kPageMusicClock{hosts::HeadlessClockInUse, hosts::HeadlessMusicPosition,
                                          MusicStarted};

// Where the page can't play sound, the show plays on the page's clock, which leaves out the wait
// for the gesture.
int64_t PageNanoseconds() {
    return (int64_t)(PageClockMs() * 1e6);
}

int Refuse(const std::string& problem) {
    std::fprintf(stderr, "morvanite: %s\n", problem.c_str());
    PageEnded(2, problem.c_str());
    return 2;
}

// The check mode's options from the page's address; false with the reason on a bad value.
bool CheckOptions(hosts::HeadlessOptions* options, std::string* problem) {
    std::string value;
    if (hosts::PageParameter("fps", &value)) {
        char* end = nullptr;
        long fps = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || fps < 1 || fps > 1000000) {
            *problem = "fps needs a whole number of 1 or more";
            return false;
        }
        options->fps = (int)fps;
    }
    if (hosts::PageParameter("hashes", &value)) options->hashesPath = kHashesPath;
    if (hosts::PageParameter("shots", &value)) {
        options->shotsDir = "/shots";
        if (!hosts::ParseShotTimes(value, options)) {
            *problem = "shots needs script times and 'load', separated by commas";
            return false;
        }
    }
    return true;
}

}  // namespace

int main() {
    audio::SetTimeSource(PageNanoseconds);
    std::string value, problem;
    if (hosts::PageParameter("fail", &value)) {
        testkit::InstallFailureInjection();
        std::stringstream list(value);
        std::string item;
        while (std::getline(list, item, ',')) {
            if (!testkit::ArmFailure(item, &problem)) return Refuse("fail: " + problem);
        }
    }
    hosts::HeadlessOptions options;
    if (!CheckOptions(&options, &problem)) return Refuse(problem);
    bool check = !options.hashesPath.empty() || !options.shotsDir.empty();
    if (check) {
        testkit::UseHeadlessWithFailures();
        if (!hosts::ConfigureHeadless(options, &problem)) return Refuse(problem);
        hosts::SetFrameLabeller([] { return ScriptPartName(Parte_activa); });
        hosts::SetFrameSink(hosts::YieldToPage);
    } else {
        winapi::SetHost(&hosts::WebHost());
    }
    audio::InstallVirtualClock(&kPageMusicClock);

    char commandLine[] = "";
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
    mainDisplay.Close();

    if (!check) {
        PageEnded(exitCode, "");
        return exitCode;
    }
    bool written = hosts::FinishHeadless(&problem);
    std::string hashes;
    if (!options.hashesPath.empty()) {
        std::ifstream in(kHashesPath);
        std::stringstream text;
        text << in.rdbuf();
        hashes = text.str();
    }
    hosts::HeadlessSummary summary = hosts::HeadlessResults();
    char line[128];
    std::snprintf(line, sizeof line, "flips=%lld last_t=%d boxes=%d exit=%d",
                  (long long)summary.flips, summary.lastT, summary.boxes, exitCode);
    std::printf("%s\n", line);
    if (!written) std::fprintf(stderr, "morvanite: %s\n", problem.c_str());
    PageChecked(hashes.c_str(), line);
    return exitCode;
}
