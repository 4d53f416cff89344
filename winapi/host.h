// The host interface: the one seam between the Windows stand-ins and the machine underneath.
// The stand-ins (messages, DirectDraw, message boxes, debug output) call the selected host; a
// host turns its events into window messages through the calls at the end of this file. Hosts
// live in hosts/, one folder per machine; a program selects one before WinMain runs. There is no
// default: a stand-in called with no host selected stops the process with a message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace winapi {

class Host {
  public:
    virtual ~Host() = default;

    // The program's window was created, shown or hidden, destroyed. `icon` may be null.
    virtual bool OpenWindow(const char* title, HICON icon) = 0;
    virtual void ShowWindow(bool visible) = 0;
    virtual void CloseWindow() = 0;

    // Turns whatever happened since the last call into messages (posted or sent). Never blocks.
    virtual void PumpEvents() = 0;
    // Blocks until something happens that PumpEvents will turn into a message.
    virtual void WaitEvent() = 0;

    // A flip made this frame visible: 16-bit pixels in 5-6-5, `pitch` bytes per row.
    virtual void PresentFrame(const uint16_t* pixels, int width, int height, int pitch) = 0;

    // The visible surface was written without a flip (a lock, a device context or a blit on
    // the primary surface): show it as it is now, without waiting.
    virtual void RefreshScreen(const uint16_t* pixels, int width, int height, int pitch) = 0;

    // A modal message box; returns when it has been closed.
    virtual void ShowMessageBox(const char* text, const char* caption) = 0;

    // A line of debug output (OutputDebugStringA), without its line break. Most hosts drop it.
    virtual void DebugOutput(const char*) {}

    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
};

// The selected host; stops the process when none is.
Host& CurrentHost();
// Selects `host` (null: none) for every stand-in from now on.
void SetHost(Host* host);
// The selected host, or null.
Host* SelectedHost();
// True when `host` is the selected one.
bool IsCurrentHost(const Host* host);

// For hosts: queue a message for the program's window (input, close requests).
void PostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);
// For hosts: call the window procedure at once, as Windows delivers sent messages.
LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);
// For hosts: the program gained or lost the focus; sends WM_ACTIVATEAPP when that changes.
void SetAppActive(bool active);
// The window the program created, or null.
HWND MainWindowHandle();

// For hosts and tools: the visible surface of the flipping chain as 16-bit pixels, row 0 first;
// empty (and 0x0) when there is no primary surface.
std::vector<uint16_t> VisibleFrame(int* width, int* height);

}  // namespace winapi
