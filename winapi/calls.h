// The stand-ins' counted calls: the functions whose failure paths the program has, each counted
// at every call and offered to a probe that may make it fail. No probe is installed unless a tool
// installs one (the headless renderer's failure injection); then every counted call asks it.
#pragma once

#include <cstdint>

namespace winapi {

enum class Call : uint8_t {
    kCheckProcessor,  // GetSystemInfo, as the processor check reads it
    kCreateWindowExA,
    kDirectDrawCreateEx,
    kSetCooperativeLevel,
    kSetDisplayMode,
    kCreateSurface,
    kGetAttachedSurface,
    kLock,
    kUnlock,
    kFlip,
    kRestore,
    kHeapAlloc,
    kBassGetVersion,
    kBassInit,
    kBassStreamCreateFile,
    kBassStreamPlay,
    kBassStop,
};
inline constexpr int kCallCount = 17;

// The name a call is known by ("Lock", "BASS_Init"); null outside the list.
const char* CallName(Call call);

// Answers whether this call of `call` fails; when it does, *code may be set to the code to fail
// with (it holds the call's usual failure code beforehand).
using CallProbe = bool (*)(Call call, int64_t* code);

// Installs `probe` (null removes it).
void SetCallProbe(CallProbe probe);

// True when the installed probe makes this call fail; false, and *code untouched, without one.
bool CallFails(Call call, int64_t* code);

}  // namespace winapi
