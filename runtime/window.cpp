// The program's only window: a top-most full-screen popup that hides the cursor, pauses the show
// while the program is not active, and ends the show on Escape.
#include "runtime/window.h"

#include <intrin.h>

#include "runtime/music.h"
#include "runtime/script.h"

HWND mainWindow = nullptr;

bool CheckProcessor() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    if (info.dwProcessorType == PROCESSOR_INTEL_386 ||
        info.dwProcessorType == PROCESSOR_INTEL_486) {
        return false;
    }
    int registers[4];
    __cpuid(registers, 1);
    return (static_cast<unsigned>(registers[3]) >> 23) & 1;  // EDX bit 23: MMX
}

bool CreateMainWindow(HINSTANCE instance, int showCommand) {
    WNDCLASSA windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(151));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = "Morvanite";
    windowClass.lpszClassName = "Morvanite";
    RegisterClassA(&windowClass);

    mainWindow = CreateWindowExA(WS_EX_TOPMOST, "Morvanite", "Morvanite", WS_POPUP, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr) return false;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    SetCursor(nullptr);
    return true;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            break;
        case WM_ACTIVATEAPP:
            appActive = static_cast<int32_t>(wParam);
            break;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return TRUE;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                UnloadAllParts();
                BASS_Stop();
                BASS_Free();
                PostMessageA(window, WM_CLOSE, 0, 0);
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
