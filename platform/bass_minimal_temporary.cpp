// TEMPORARY audio library stand-in: no sound, only the clock. The build leaves it out as soon as
// the real stand-in's sources are in platform/audio; delete it then.
// On the headless backend the position is the virtual clock; elsewhere it is the wall-clock time
// since BASS_StreamPlay, at 176400 bytes per second.
#include <bass.h>

#include <chrono>

#include "platform/clock.h"

namespace {
bool playing = false;
std::chrono::steady_clock::time_point playStart;
}  // namespace

DWORD BASS_GetVersion(void) {
    return 0x00070000;
}
int BASS_ErrorGetCode(void) {
    return BASS_OK;
}
BOOL BASS_Init(int, DWORD, DWORD, HWND) {
    return TRUE;
}
BOOL BASS_Start(void) {
    return TRUE;
}
BOOL BASS_SetVolume(DWORD) {
    return TRUE;
}
void BASS_StreamFree(HSTREAM) {}
HSTREAM BASS_StreamCreateFile(BOOL, void*, DWORD, DWORD, DWORD) {
    return 1;
}

BOOL BASS_StreamPlay(HSTREAM handle, BOOL, DWORD) {
    if (handle == 0) return FALSE;
    playing = true;
    playStart = std::chrono::steady_clock::now();
    platform::NotifyMusicStarted();
    return TRUE;
}

DWORD BASS_ChannelGetPosition(DWORD) {
    if (platform::IsHeadless()) return platform::HeadlessMusicPosition();
    if (!playing) return 0;
    auto elapsed = std::chrono::steady_clock::now() - playStart;
    return (DWORD)(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * 176400 /
                   1000000);
}

BOOL BASS_Stop(void) {
    playing = false;
    return TRUE;
}
void BASS_Free(void) {
    playing = false;
}
