// The spine of the show: start-up, the loading screen, the timeline and the main loop.
#include "runtime/script.h"

#include <memory>

#include "image/tga.h"
#include "image/trace.h"
#include "parts/blob_field.h"
#include "parts/lobed_tunnel.h"
#include "parts/morph_tunnel.h"
#include "parts/opening_zoom_blur.h"
#include "parts/picture_fire.h"
#include "parts/ray_planes.h"
#include "parts/ray_tunnel.h"
#include "parts/ring_interference.h"
#include "parts/rotozoom_picture.h"
#include "parts/text_scroll.h"
#include "parts/zoom_through.h"
#include "parts/zoom_trails.h"
#include "runtime/music.h"
#include "runtime/show.h"
#include "runtime/window.h"
#include "video/display.h"

const ScriptEntry Script[kScriptRows] = {
    {0, &openingZoomBlurPart}, {150, &rotozoomPicturePart}, {250, &zoomThroughPart},
    {312, &blobFieldPart},     {420, &morphTunnelPart},     {520, &ringInterferencePart},
    {600, &lobedTunnelPart},   {680, &rayTunnelPart},       {780, &rayPlanesPart},
    {880, &zoomTrailsPart},    {1000, &pictureFirePart},    {1120, &textScrollPart},
    {1420, nullptr},
};

namespace {

// The names of the script's parts, row for row.
const char* const kPartNames[kScriptRows - 1] = {
    "OpeningZoomBlurPart", "RotozoomPicturePart",  "ZoomThroughPart", "BlobFieldPart",
    "MorphTunnelPart",     "RingInterferencePart", "LobedTunnelPart", "RayTunnelPart",
    "RayPlanesPart",       "ZoomTrailsPart",       "PictureFirePart", "TextScrollPart",
};

}  // namespace

Parte* Parte_activa = nullptr;
int32_t nextEntry = 0;
int32_t appActive = 0;

namespace {

// Exit code of a failed start-up. The original returned 0, which made a failure look like a
// successful run.
constexpr int kStartupFailed = 1;

void ShowLoadingPicture() {
    std::unique_ptr<Image> picture(LoadTgaAs16(102));
    if (Image* view = mainDisplay.primary.Lock(mainWindow, nullptr, 0)) {
        view->ConvertFrom(*picture, nullptr);
        mainDisplay.primary.Unlock(mainWindow);
    }
}

void LoadAllParts() {
    int32_t loaded = 0;
    for (int row = 0; Script[row].part != nullptr; ++row) {
        Script[row].part->Load(mainWindow, mainDisplay);
        ++loaded;
        mainDisplay.primary.OpenDC();
        for (int32_t x = 108; x < 108 + 9 * loaded; ++x) mainDisplay.primary.Line(x, 142, x, 149);
        mainDisplay.primary.CloseDC();
    }
}

void EndOfScript(deciseconds t) {
    TraceLine("Se llego a fin de script en ................. %d dec.seg.", t);
    UnloadAllParts();
    BASS_Stop();
    BASS_Free();
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
}

}  // namespace

deciseconds ClockFromPosition(DWORD positionBytes) {
    return static_cast<deciseconds>(positionBytes / show::kBytesPerUnit);
}

const char* ScriptPartName(const Parte* part) {
    for (int row = 0; part != nullptr && row < kScriptRows - 1; ++row) {
        if (Script[row].part == part) return kPartNames[row];
    }
    return nullptr;
}

void UnloadAllParts() {
    for (int row = 0; (Parte_activa = Script[row].part) != nullptr; ++row) {
        Parte_activa->Unload(mainWindow, mainDisplay);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (!CheckProcessor()) return kStartupFailed;
    if (!CreateMainWindow(instance, showCommand)) return kStartupFailed;
    if (!mainDisplay.Open(mainWindow, show::kFrameWidth, show::kFrameHeight,
                          show::kFrameBitsPerPixel)) {
        DestroyWindow(mainWindow);
        return kStartupFailed;
    }
    if (!OpenMusic(mainWindow, &musicStream)) {
        DestroyWindow(mainWindow);
        return kStartupFailed;
    }
    ShowLoadingPicture();
    LoadAllParts();
    if (!BASS_StreamPlay(musicStream, FALSE, 0)) return kStartupFailed;

    Parte_activa = Script[0].part;
    TraceLine("Nueva Parte_activa en ....................... %d dec.seg.", 0);
    nextEntry = 1;

    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&msg, nullptr, 0, 0)) return static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (!appActive) {
            WaitMessage();
            continue;
        }
        const deciseconds t = ClockFromPosition(BASS_ChannelGetPosition(musicStream));
        // Once the terminator has been taken there is no further row to look at.
        if (nextEntry < kScriptRows && t >= Script[nextEntry].start) {
            Parte_activa = Script[nextEntry].part;
            TraceLine("Nueva Parte_activa en ....................... %d dec.seg.", t);
            ++nextEntry;
        }
        if (Parte_activa != nullptr) {
            Parte_activa->Render(mainWindow, mainDisplay, t);
            Parte_activa->Present(mainWindow, mainDisplay, t);
        } else {
            EndOfScript(t);
        }
    }
}
