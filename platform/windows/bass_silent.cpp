// Audio library stand-in for Windows without sound: one stream, nothing heard, the play position
// taken from a clock (monotonic time, or the headless backend's virtual clock when the program
// runs headless). The calls succeed as the program relies on; BASS_ErrorGetCode tells why one
// failed, with the codes of the Linux stand-in.
#include <bass.h>

#include <cstdint>

#include "platform/windows/silent_clock.h"

namespace {

bool initialised = false;
bool started = false;
HSTREAM stream = 0;
int lastError = BASS_OK;

int Fail(int code) {
    lastError = code;
    return 0;
}

int Succeed() {
    lastError = BASS_OK;
    return TRUE;
}

}  // namespace

DWORD BASS_GetVersion(void) {
    if (windows_audio::InjectedFailure("BASS_GetVersion", 0, &lastError)) return 0x0006FFFF;
    return 0x00070000;
}

int BASS_ErrorGetCode(void) {
    return lastError;
}

BOOL BASS_Init(int device, DWORD, DWORD, HWND) {
    if (windows_audio::InjectedFailure("BASS_Init", BASS_ERROR_DRIVER, &lastError)) return FALSE;
    if (initialised) return Fail(BASS_ERROR_ALREADY);
    if (device < -1 || device > 1) return Fail(BASS_ERROR_DEVICE);
    initialised = true;
    return Succeed();
}

BOOL BASS_Start(void) {
    if (!initialised) return Fail(BASS_ERROR_INIT);
    if (!started) windows_audio::ResumeClock();
    started = true;
    return Succeed();
}

BOOL BASS_SetVolume(DWORD) {
    if (!initialised) return Fail(BASS_ERROR_INIT);
    return Succeed();
}

void BASS_StreamFree(HSTREAM handle) {
    if (handle == 0 || handle != stream) {
        lastError = BASS_ERROR_HANDLE;
        return;
    }
    stream = 0;
    lastError = BASS_OK;
}

HSTREAM BASS_StreamCreateFile(BOOL, void* file, DWORD, DWORD length, DWORD) {
    if (windows_audio::InjectedFailure("BASS_StreamCreateFile", BASS_ERROR_FILEOPEN, &lastError)) {
        return 0;
    }
    if (!initialised) return Fail(BASS_ERROR_INIT);
    if (file == nullptr || length < 4) return Fail(BASS_ERROR_FILEOPEN);
    stream = stream + 1;
    lastError = BASS_OK;
    return stream;
}

BOOL BASS_StreamPlay(HSTREAM handle, BOOL, DWORD) {
    if (windows_audio::InjectedFailure("BASS_StreamPlay", BASS_ERROR_START, &lastError)) {
        return FALSE;
    }
    if (!initialised) return Fail(BASS_ERROR_INIT);
    if (handle == 0 || handle != stream) return Fail(BASS_ERROR_HANDLE);
    if (!started) return Fail(BASS_ERROR_START);
    windows_audio::StartClock();
    return Succeed();
}

DWORD BASS_ChannelGetPosition(DWORD handle) {
    if (!initialised) {
        lastError = BASS_ERROR_INIT;
        return DWORD(-1);
    }
    if (handle == 0 || handle != stream) {
        lastError = BASS_ERROR_HANDLE;
        return DWORD(-1);
    }
    lastError = BASS_OK;
    return static_cast<DWORD>(windows_audio::ClockPosition());
}

BOOL BASS_Stop(void) {
    if (!initialised) return Fail(BASS_ERROR_INIT);
    if (started) windows_audio::PauseClock();
    started = false;
    return Succeed();
}

void BASS_Free(void) {
    if (!initialised) {
        lastError = BASS_ERROR_INIT;
        return;
    }
    initialised = false;
    started = false;
    stream = 0;
    lastError = BASS_OK;
}
