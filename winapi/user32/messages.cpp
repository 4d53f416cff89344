// Win32 window and message stand-ins: window classes, the program's window, a real message queue
// (posted messages, a pending quit, sent messages delivered by calling the window procedure),
// cursors, icons and screen metrics. The selected host supplies events and the screen.
//
// Implemented: RegisterClassA, CreateWindowExA, ShowWindow, UpdateWindow, DestroyWindow,
// DefWindowProcA (WM_CLOSE destroys the window), PeekMessageA (PM_NOREMOVE, PM_REMOVE, window and
// range filters), GetMessageA, TranslateMessage, DispatchMessageA, WaitMessage, PostMessageA,
// PostQuitMessage, LoadCursorA, SetCursor, LoadIconA (icon resources), GetSystemMetrics
// (SM_CXSCREEN, SM_CYSCREEN), GetModuleHandleA.
// Left out: child windows, WM_CREATE/WM_PAINT/WM_SIZE traffic, keyboard translation into
// WM_CHAR, message hooks, timers, thread messages of other threads, more than one window at a
// time.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "winapi/calls.h"
#include "winapi/host.h"
#include "winapi/kernel32/resources.h"
#include "winapi/state.h"

namespace winapi {
namespace {

struct WindowClass {
    WNDPROC procedure;
    HICON icon;
};

struct WindowObject {
    WNDPROC procedure;
    bool alive;
    bool visible;
};

struct MessageState {
    std::map<std::string, WindowClass> classes;
    std::vector<std::unique_ptr<WindowObject>> windows;
    HWND mainWindow = nullptr;
    std::deque<MSG> queue;
    bool quitPending = false;
    int quitCode = 0;
    bool active = false;
    HCURSOR cursor = nullptr;
};

MessageState& State() {
    static MessageState state;
    return state;
}

Host* currentHost = nullptr;

WindowObject* LiveWindow(HWND window) {
    for (auto& object : State().windows) {
        if (reinterpret_cast<HWND>(object.get()) == window)
            return object->alive ? object.get() : nullptr;
    }
    return nullptr;
}

DWORD MessageTime() {
    using namespace std::chrono;
    return (DWORD)duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && msg.hwnd != window) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

// A stock cursor and icon: handles that are never drawn.
WindowClass stockObjects;
HCURSOR const kArrowCursor = reinterpret_cast<HCURSOR>(&stockObjects);

}  // namespace

Host& CurrentHost() {
    if (currentHost == nullptr) {
        std::fputs("winapi: a stand-in was called before the program selected a host\n", stderr);
        std::abort();
    }
    return *currentHost;
}

void SetHost(Host* host) {
    currentHost = host;
}

Host* SelectedHost() {
    return currentHost;
}

bool IsCurrentHost(const Host* host) {
    return host != nullptr && host == currentHost;
}

HWND MainWindowHandle() {
    return State().mainWindow;
}

void PostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    if (State().mainWindow != nullptr) PostMessageA(State().mainWindow, message, wParam, lParam);
}

LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = State().mainWindow;
    WindowObject* object = LiveWindow(window);
    if (object == nullptr) return 0;
    return object->procedure(window, message, wParam, lParam);
}

void SetAppActive(bool active) {
    MessageState& state = State();
    if (state.active == active) return;
    state.active = active;
    SendToMainWindow(WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

void ResetMessages() {
    MessageState& state = State();
    for (auto& object : state.windows) object->alive = false;
    state.classes.clear();
    state.mainWindow = nullptr;
    state.queue.clear();
    state.quitPending = false;
    state.quitCode = 0;
    state.active = false;
    state.cursor = nullptr;
}

size_t QueuedMessageCount() {
    return State().queue.size() + (State().quitPending ? 1 : 0);
}

bool IsWindowAlive(HWND window) {
    return LiveWindow(window) != nullptr;
}

}  // namespace winapi

using winapi::CurrentHost;
using winapi::State;

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
    if (wndClass == nullptr || wndClass->lpszClassName == nullptr ||
        wndClass->lpfnWndProc == nullptr) {
        return 0;
    }
    auto& classes = State().classes;
    if (classes.count(wndClass->lpszClassName) != 0) return 0;  // already registered
    classes[wndClass->lpszClassName] = {wndClass->lpfnWndProc, wndClass->hIcon};
    return (ATOM)(0xC000 + classes.size());
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int, int, int,
                            int, HWND, HMENU, HINSTANCE, LPVOID) {
    int64_t unused = 0;
    if (winapi::CallFails(winapi::Call::kCreateWindowExA, &unused)) return nullptr;
    if (className == nullptr) return nullptr;
    auto found = State().classes.find(className);
    if (found == State().classes.end()) return nullptr;
    if (State().mainWindow != nullptr && winapi::LiveWindow(State().mainWindow) != nullptr) {
        return nullptr;  // one window per program
    }
    if (!CurrentHost().OpenWindow(windowName != nullptr ? windowName : "", found->second.icon)) {
        return nullptr;
    }
    State().windows.push_back(std::make_unique<winapi::WindowObject>(
        winapi::WindowObject{found->second.procedure, true, false}));
    HWND window = reinterpret_cast<HWND>(State().windows.back().get());
    State().mainWindow = window;
    if (style & WS_VISIBLE) ShowWindow(window, SW_SHOW);
    return window;
}

BOOL WINAPI ShowWindow(HWND window, int showCommand) {
    winapi::WindowObject* object = winapi::LiveWindow(window);
    if (object == nullptr) return FALSE;
    BOOL wasVisible = object->visible ? TRUE : FALSE;
    bool visible = showCommand != SW_HIDE;
    if (visible != object->visible) {
        object->visible = visible;
        CurrentHost().ShowWindow(visible);
    }
    // Showing the window activates the program: WM_ACTIVATEAPP is sent at once.
    winapi::SetAppActive(visible);
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND window) {
    return winapi::LiveWindow(window) != nullptr;
}

BOOL WINAPI DestroyWindow(HWND window) {
    winapi::WindowObject* object = winapi::LiveWindow(window);
    if (object == nullptr) return FALSE;
    // As on Windows: the program loses activation with its only window, then gets WM_DESTROY
    // while the handle is still valid.
    if (window == State().mainWindow) winapi::SetAppActive(false);
    object->procedure(window, WM_DESTROY, 0, 0);
    object->alive = false;
    if (object->visible) CurrentHost().ShowWindow(false);
    object->visible = false;
    if (window == State().mainWindow) CurrentHost().CloseWindow();
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    CurrentHost().PumpEvents();
    auto& state = State();
    for (auto it = state.queue.begin(); it != state.queue.end(); ++it) {
        if (!winapi::Matches(*it, window, filterMin, filterMax)) continue;
        if (msg != nullptr) *msg = *it;
        if (removeMsg & PM_REMOVE) state.queue.erase(it);
        return TRUE;
    }
    // The quit message comes when no posted message is left, as on Windows.
    bool quitInRange =
        (filterMin == 0 && filterMax == 0) || (WM_QUIT >= filterMin && WM_QUIT <= filterMax);
    if (state.quitPending && window == nullptr && quitInRange) {
        if (msg != nullptr)
            *msg = MSG{nullptr, WM_QUIT, (WPARAM)state.quitCode, 0, winapi::MessageTime(), {0, 0}};
        if (removeMsg & PM_REMOVE) state.quitPending = false;
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    MSG taken{};
    while (!PeekMessageA(&taken, window, filterMin, filterMax, PM_REMOVE)) {
        CurrentHost().WaitEvent();
    }
    if (msg != nullptr) *msg = taken;
    return taken.message != WM_QUIT;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) return 0;
    winapi::WindowObject* object = winapi::LiveWindow(msg->hwnd);
    if (object == nullptr) return 0;
    return object->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI WaitMessage(void) {
    if (State().queue.empty() && !State().quitPending) CurrentHost().WaitEvent();
    CurrentHost().PumpEvents();
    return TRUE;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && winapi::LiveWindow(window) == nullptr) return FALSE;
    if (message == WM_QUIT && window == nullptr) {
        PostQuitMessage((int)wParam);
        return TRUE;
    }
    State().queue.push_back(MSG{window, message, wParam, lParam, winapi::MessageTime(), {0, 0}});
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    State().quitPending = true;
    State().quitCode = exitCode;
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR iconName) {
    if (!IS_INTRESOURCE(iconName)) return nullptr;
    return winapi::IconFromResource((int)LOWORD(iconName));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    if (instance == nullptr && cursorName == IDC_ARROW) return winapi::kArrowCursor;
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    // The pointer is never drawn over the show; only the handle is kept.
    HCURSOR previous = State().cursor;
    State().cursor = cursor;
    return previous;
}

int WINAPI GetSystemMetrics(int index) {
    if (index == SM_CXSCREEN) return CurrentHost().ScreenWidth();
    if (index == SM_CYSCREEN) return CurrentHost().ScreenHeight();
    return 0;
}
