// The music stream: sound output, the MP3 stream from the program's resources, the error box.
#include "runtime/music.h"

#include <cstdio>

#include "runtime/show.h"

HSTREAM musicStream = 0;

void ShowErrorBox(HWND window, const char* text, int code) {
    char message[200];
    std::snprintf(message, sizeof message, "%s\n(Codigo de error: %d)", text, code);
    MessageBoxA(window, message, "Error!", MB_OK);
}

bool OpenMusic(HWND window, HSTREAM* stream) {
    if (BASS_GetVersion() < 0x70000u) {
        ShowErrorBox(window, "BASS version 0.7 o superior no fue cargada", BASS_ErrorGetCode());
        return false;
    }
    if (!BASS_Init(-1, 44100, 0, window)) {
        ShowErrorBox(window, "No puedo inicializar el sistema de sonido", BASS_ErrorGetCode());
        return false;
    }
    BASS_Start();
    BASS_SetVolume(100);
    BASS_StreamFree(*stream);

    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(show::kMusicResource), "MP3FILE");
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    void* memory = LockResource(loaded);

    *stream = BASS_StreamCreateFile(TRUE, memory, 0, size, 0);
    if (*stream == 0) {
        ShowErrorBox(window, "No puedo crear el stream", BASS_ErrorGetCode());
        return false;
    }
    return true;
}
