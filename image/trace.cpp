// Trace lines: bounded formatting into the fixed buffer, then the debug output.
#include "image/trace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

void TraceLine(const char* format, ...) {
    char line[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    OutputDebugStringA(line);
}
