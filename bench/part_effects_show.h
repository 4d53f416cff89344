// Benchmark support for the effects: the program's window and display, opened once on the
// headless backend, and the parts' real pictures from the embedded resources.
#pragma once

#include "platform/testing.h"
#include "runtime/window.h"
#include "video/display.h"

// Opens the headless show once per process; later calls reuse it.
inline Display& EffectsShow() {
    static const bool opened = [] {
        if (mainDisplay.ddraw != nullptr) return true;
        platform::testing::ResetPlatform();
        CreateMainWindow(nullptr, 1);
        return mainDisplay.Open(mainWindow, 320, 240, 16);
    }();
    (void)opened;
    return mainDisplay;
}
