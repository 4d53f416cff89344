// The music stream: the show's soundtrack and its clock.
#pragma once

#include <bass.h>

extern HSTREAM musicStream;

// Starts the sound output and creates the stream from resource "MP3FILE" 122. On failure shows
// the error box and returns false.
bool OpenMusic(HWND window, HSTREAM* stream);
// Shows "<text>\n(Codigo de error: <code>)" in a modal box titled "Error!".
void ShowErrorBox(HWND window, const char* text, int code);
