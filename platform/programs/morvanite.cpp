// morvanite: the show, full screen on the desktop, with sound.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sdl/sdl.h"

namespace {

const char kUsage[] =
    "usage: morvanite [--windowed]\n"
    "  --windowed   play in a window instead of the whole screen (Alt+Enter switches)\n"
    "Escape ends the show.\n";

}  // namespace

int main(int argc, char** argv) {
    bool windowed = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--windowed") == 0) {
            windowed = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "morvanite: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        }
    }
    std::string error;
    if (!platform::StartSdl(windowed, &error)) {
        std::fprintf(stderr, "morvanite: %s\n", error.c_str());
        return 1;
    }
    char commandLine[] = "";
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
    platform::StopSdl();
    return exitCode;
}
