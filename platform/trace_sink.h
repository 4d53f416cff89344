// Where the program's diagnostics go, for the programs' option parsing.
#pragma once

#include <cstdio>

namespace platform {

// Trace lines (OutputDebugStringA) are written to `file`, one a line; null silences them.
void SetTraceFile(FILE* file);

// How many message boxes the program has shown.
int MessageBoxCount();

}  // namespace platform
