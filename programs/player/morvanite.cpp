// morvanite: the show, full screen on the desktop, with sound.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "hosts/sdl/sdl.h"
#include "video/display.h"
#include "winapi/bass/bass_state.h"

namespace {

const char kUsage[] =
    "usage: morvanite [OPTION]...\n"
    "Plays the Morvanite demo, full screen, with its music.\n"
    "\n"
    "  --windowed        play in a window instead of the whole screen\n"
    "  --integer-scale   enlarge the picture by whole multiples of 320x240 only\n"
    "  --no-sound        play silently, timed by the system clock\n"
    "  --frame-log FILE  write a line per shown frame: when, and for which music position\n"
    "  -h, --help        show this help and exit\n"
    "\n"
    "Keys: Escape ends the show; Alt+Enter switches between window and full screen;\n"
    "F12 saves the picture on screen as morvanite-NNN.png in the current folder.\n";

int Usage(const char* problem, const char* what) {
    std::fprintf(stderr, "morvanite: %s %s\n%s", problem, what, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    hosts::SdlOptions options;
    bool silent = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--windowed") == 0) {
            options.windowed = true;
        } else if (std::strcmp(arg, "--integer-scale") == 0) {
            options.integerScale = true;
        } else if (std::strcmp(arg, "--no-sound") == 0) {
            silent = true;
        } else if (std::strcmp(arg, "--frame-log") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') return Usage("a file must follow", arg);
            options.frameLog = argv[++i];
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            return Usage("unknown option", arg);
        }
    }
    audio::PlaySilently(silent);
    std::string error;
    if (!hosts::StartSdl(options, &error)) {
        std::fprintf(stderr, "morvanite: %s\n", error.c_str());
        return 1;
    }
    char commandLine[] = "";
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
    // The display's teardown, which the process exit would run after main: here, while the host
    // is still there.
    mainDisplay.Close();
    if (!hosts::StopSdl(&error)) {
        std::fprintf(stderr, "morvanite: %s\n", error.c_str());
        if (exitCode == 0) exitCode = 1;
    }
    return exitCode;
}
