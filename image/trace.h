// Diagnostic trace lines: formatted into a fixed 160-byte buffer (cut short if longer) and handed
// to OutputDebugStringA, which the platform drops unless asked to record them.
#pragma once

#if defined(__GNUC__)
#define MORVANITE_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define MORVANITE_PRINTF(f, a)
#endif

void TraceLine(const char* format, ...) MORVANITE_PRINTF(1, 2);
