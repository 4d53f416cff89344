// Test support: drive the Windows stand-ins on the headless host and look at what they did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hosts/headless/headless.h"
#include "testing/failures.h"
#include "winapi/kernel32/resources.h"
#include "winapi/state.h"

namespace testkit {

// Selects the headless host with failure injection: the stand-ins' counted calls ask the
// injector, and failures armed by script time follow the headless clock.
void UseHeadlessWithFailures();

// Selects the headless host with failure injection and puts every stand-in back to its start:
// no window, classes or queued messages, no armed failures, no registered resources, no
// recorded boxes, trace not captured, clock at zero.
void ResetPlatform();

// Message boxes shown so far, oldest first.
using hosts::RecordedBox;
inline const std::vector<RecordedBox>& MessageBoxes() {
    return hosts::RecordedBoxes();
}
inline void ForgetMessageBoxes() {
    hosts::ForgetRecordedBoxes();
}

// Trace lines handed to OutputDebugStringA while capturing (capturing starts empty).
inline void CaptureTrace(bool capture) {
    hosts::CaptureTrace(capture);
}
inline const std::vector<std::string>& TraceLines() {
    return hosts::CapturedTrace();
}

// The visible surface of the flipping chain as 16-bit pixels, row 0 first; empty when there is
// no primary surface.
inline std::vector<uint16_t> VisibleFrame(int* width, int* height) {
    return winapi::VisibleFrame(width, height);
}

}  // namespace testkit
