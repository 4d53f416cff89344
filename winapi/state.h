// The stand-ins' state seen from outside, for tests and tools: what is queued and alive, and
// resets that put each stand-in back to its start between runs in one process.
#pragma once

#include <windows.h>

#include <cstddef>

namespace winapi {

// Messages: no window, classes or queued messages, no pending quit, inactive.
void ResetMessages();
// Posted messages still queued, plus a pending quit.
size_t QueuedMessageCount();
// True while `window` exists.
bool IsWindowAlive(HWND window);

// DirectDraw: forgets the primary surface without releasing it, so that a new one can be made.
void ForgetDisplay();

}  // namespace winapi
