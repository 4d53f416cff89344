// The counted calls' names and the probe they ask.
#include "winapi/calls.h"

namespace winapi {
namespace {

const char* const kCallNames[kCallCount] = {
    "CheckProcessor",
    "CreateWindowExA",
    "DirectDrawCreateEx",
    "SetCooperativeLevel",
    "SetDisplayMode",
    "CreateSurface",
    "GetAttachedSurface",
    "Lock",
    "Unlock",
    "Flip",
    "Restore",
    "HeapAlloc",
    "BASS_GetVersion",
    "BASS_Init",
    "BASS_StreamCreateFile",
    "BASS_StreamPlay",
    "BASS_Stop",
};

CallProbe probe = nullptr;

}  // namespace

const char* CallName(Call call) {
    int index = static_cast<int>(call);
    return index >= 0 && index < kCallCount ? kCallNames[index] : nullptr;
}

void SetCallProbe(CallProbe newProbe) {
    probe = newProbe;
}

bool CallFails(Call call, int64_t* code) {
    return probe != nullptr && probe(call, code);
}

}  // namespace winapi
