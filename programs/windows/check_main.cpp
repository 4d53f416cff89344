// The Windows check program: the show exactly as morvanite-win64.exe (or -win32.exe) plays it,
// entered through the same WinMain, with test support that writes a picture of the loading screen
// when the music starts.
// usage: morvanite-win64-check.exe PICTURE.png
#include <windows.h>

#include <cstdio>

#include "testing/loading_picture.h"

namespace {

// The command line after the program's name and the blanks that follow it, as the C runtime
// hands it to WinMain.
LPSTR ArgumentsOf(LPSTR line) {
    bool quoted = false;
    while (*line != '\0' && (quoted || (*line != ' ' && *line != '\t'))) {
        if (*line == '"') quoted = !quoted;
        ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PICTURE.png\n", argc > 0 ? argv[0] : "morvanite-check");
        return 2;
    }
    testkit::PictureLoadingScreenAtMusicStart(argv[1]);
    // What the C runtime passes to WinMain when the program has no main.
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    const int showCommand =
        (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    return WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), showCommand);
}
