// Message boxes and the trace sink. MessageBoxA is counted and recorded here and shown by the
// backend; OutputDebugStringA writes each trace line to the trace file, when one is set, and is
// silent otherwise.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/testing.h"
#include "platform/trace_sink.h"

namespace platform {
namespace {

std::vector<testing::RecordedBox>& Boxes() {
    static std::vector<testing::RecordedBox> boxes;
    return boxes;
}

FILE* traceFile = nullptr;
bool captureTrace = false;

std::vector<std::string>& CapturedTrace() {
    static std::vector<std::string> lines;
    return lines;
}

}  // namespace

void SetTraceFile(FILE* file) {
    traceFile = file;
}

int MessageBoxCount() {
    return (int)Boxes().size();
}

namespace testing {

const std::vector<RecordedBox>& MessageBoxes() {
    return Boxes();
}
void ForgetMessageBoxes() {
    Boxes().clear();
}

void CaptureTrace(bool capture) {
    captureTrace = capture;
    CapturedTrace().clear();
}
const std::vector<std::string>& TraceLines() {
    return CapturedTrace();
}

}  // namespace testing
}  // namespace platform

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    const char* shownText = text != nullptr ? text : "";
    const char* shownCaption = caption != nullptr ? caption : "Error";
    platform::Boxes().push_back({shownCaption, shownText});
    platform::CurrentBackend().ShowMessageBox(shownText, shownCaption);
    return IDOK;
}

void WINAPI OutputDebugStringA(LPCSTR text) {
    if (text == nullptr) return;
    if (platform::captureTrace) platform::CapturedTrace().push_back(text);
    if (platform::traceFile == nullptr) return;
    std::fputs(text, platform::traceFile);
    size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] != '\n') std::fputc('\n', platform::traceFile);
}
