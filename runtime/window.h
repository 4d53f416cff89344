// The program's only window and its message handling.
#pragma once

#include <windows.h>

extern HWND mainWindow;

// True when the processor reports MMX (a 386 or 486 is refused without asking).
bool CheckProcessor();
// Registers the "Morvanite" class and opens the top-most full-screen popup; sets mainWindow.
bool CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
