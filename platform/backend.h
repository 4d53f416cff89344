// The seam between the Windows stand-ins and the machine underneath. The stand-ins (messages,
// DirectDraw, message boxes) call the current backend; a backend turns its events into window
// messages through the calls at the end of this file.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform {

class Backend {
  public:
    virtual ~Backend() = default;

    // True for the backend without a screen, sound or input of its own.
    virtual bool Headless() const = 0;

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

    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;

    // The program read the music's play position (bytes); the show's next frame is drawn for it.
    virtual void MusicPositionRead(uint32_t) {}
};

// The backend in use: the headless one unless a program selects another.
Backend& CurrentBackend();
void SetBackend(Backend* backend);

// For backends: queue a message for the program's window (input, close requests).
void PostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);
// For backends: call the window procedure at once, as Windows delivers sent messages.
LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);
// For backends: the program gained or lost the focus; sends WM_ACTIVATEAPP when that changes.
void SetAppActive(bool active);
// The window the program created, or null.
HWND MainWindowHandle();

}  // namespace platform
