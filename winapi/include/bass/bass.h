// Audio library stand-in: the calls the program makes, with the library's names and arguments.
// It sits in a folder of its own because it is the one header the program needs on every
// platform, also where the real Windows headers replace the others. C linkage, so that code built
// against either set of Windows headers links with the same library.
#pragma once

#include <windows.h>

typedef DWORD HSTREAM;

// Error codes reported by BASS_ErrorGetCode.
#define BASS_OK 0              // all is OK
#define BASS_ERROR_MEM 1       // memory error
#define BASS_ERROR_FILEOPEN 2  // can't open the file / data is not a stream we can play
#define BASS_ERROR_DRIVER 3    // can't find a free/valid driver
#define BASS_ERROR_HANDLE 5    // invalid handle
#define BASS_ERROR_FORMAT 6    // unsupported format
#define BASS_ERROR_INIT 8      // BASS_Init has not been successfully called
#define BASS_ERROR_START 9     // BASS_Start has not been successfully called
#define BASS_ERROR_ALREADY 14  // already initialized
#define BASS_ERROR_DEVICE 23   // illegal device number
#define BASS_ERROR_UNKNOWN -1  // some other mystery error

#ifdef __cplusplus
extern "C" {
#endif

DWORD BASS_GetVersion(void);
int BASS_ErrorGetCode(void);
BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND window);
BOOL BASS_Start(void);
BOOL BASS_SetVolume(DWORD volume);
void BASS_StreamFree(HSTREAM handle);
HSTREAM BASS_StreamCreateFile(BOOL mem, void* file, DWORD offset, DWORD length, DWORD flags);
BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags);
DWORD BASS_ChannelGetPosition(DWORD handle);
BOOL BASS_Stop(void);
void BASS_Free(void);

#ifdef __cplusplus
}
#endif
