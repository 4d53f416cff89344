// Message boxes and debug output: MessageBoxA is shown by the host and returns when it is
// closed; OutputDebugStringA hands each line to the host, and goes nowhere while no host is
// selected (as debug output without a listener does on Windows).
#include <windows.h>

#include <cstring>
#include <string>

#include "winapi/host.h"

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    winapi::CurrentHost().ShowMessageBox(text != nullptr ? text : "",
                                         caption != nullptr ? caption : "Error");
    return IDOK;
}

void WINAPI OutputDebugStringA(LPCSTR text) {
    if (text == nullptr) return;
    winapi::Host* host = winapi::SelectedHost();
    if (host == nullptr) return;
    size_t length = std::strlen(text);
    if (length != 0 && text[length - 1] == '\n') {
        host->DebugOutput(std::string(text, length - 1).c_str());
    } else {
        host->DebugOutput(text);
    }
}
