// The show's timeline and the scheduler that runs it.
#pragma once

#include "parts/parte.h"

struct ScriptEntry {
    int32_t start;  // deciseconds
    Parte* part;    // null marks the end of the script
};

constexpr int kScriptRows = 13;
extern const ScriptEntry Script[kScriptRows];

extern Parte* Parte_activa;
extern int32_t nextEntry;
extern int32_t appActive;

// Unloads every part of the script once, in order; Parte_activa is null afterwards.
void UnloadAllParts();

// Music position in bytes -> script time (unsigned division by 17400).
deciseconds ClockFromPosition(DWORD positionBytes);

// The class name of a part of the script ("OpeningZoomBlurPart"), for records of the show; null
// for anything else.
const char* ScriptPartName(const Parte* part);
