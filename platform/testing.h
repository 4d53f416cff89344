// Test support: drive the Windows stand-ins on the headless backend and look at what they did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/failures.h"
#include "platform/headless/headless.h"
#include "platform/resources.h"

namespace platform::testing {

// Selects the headless backend and puts every stand-in back to its start: no window, classes or
// queued messages, no armed failures, no registered resources, no recorded boxes, clock at zero.
void ResetPlatform();

// Messages.
void ResetMessages();
size_t QueuedMessageCount();  // posted messages, plus a pending quit
bool IsWindowAlive(HWND window);

// Message boxes shown so far, oldest first.
struct RecordedBox {
    std::string caption;
    std::string text;
};
const std::vector<RecordedBox>& MessageBoxes();
void ForgetMessageBoxes();

// Trace lines handed to OutputDebugStringA while capturing (capturing starts empty).
void CaptureTrace(bool capture);
const std::vector<std::string>& TraceLines();

// Forgets the primary surface without releasing it, so that a new one can be created.
void ForgetDisplay();

// The visible surface of the flipping chain as 16-bit pixels, row 0 first; empty when there is
// no primary surface.
std::vector<uint16_t> VisibleFrame(int* width, int* height);

}  // namespace platform::testing
