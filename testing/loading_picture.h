// Test support for the Windows check programs: a picture of the loading screen as DirectDraw
// holds it on the primary surface the moment the music starts.
#pragma once

#include <string>

namespace testkit {

// Installs the probe of the counted calls (winapi/calls.h). At the first BASS_StreamPlay, before
// the call does anything, it writes the primary surface of mainDisplay to `path` as an 8-bit RGB
// PNG (each channel widened by repeating its bits, as the headless renderer's pictures): written
// to `path`.part, then renamed, so that `path` never holds a partial picture. It makes no call
// fail. Failing to take the picture is reported on stderr and leaves `path` absent.
void PictureLoadingScreenAtMusicStart(const std::string& path);

}  // namespace testkit
