// Additive sprite ring with zoom-blur trails: twenty triples of glowing dots turn on pulsing
// circles; then two triples feed a loop that enlarges the last frame about the centre and softens
// it, leaving streaming trails; at last the sprites stop and the picture streams away.
#include "parts/zoom_trails.h"

#include <cmath>
#include <cstring>

#include "image/numeric.h"
#include "image/tga.h"
#include "parts/back_buffer.h"
#include "parts/sprite_add.h"
#include "parts/zoom_blur_kernels.h"
#include "video/display.h"

ZoomTrailsPart zoomTrailsPart;

namespace {
int32_t loadDone = 0;
int32_t unloadDone = 0;
bool started = false;
deciseconds startTime = 0;
float phase = 0.0f;
float radius = 0.0f;

// Single-precision constants as the program holds them.
constexpr float kPhaseStep = 0.034906585f;  // two degrees
constexpr float kFullTurn = 6.283185005187988f;
}  // namespace

namespace zoom_trails {

void GroupPlaces(int32_t i, int32_t groups, float phase, float radius, SpritePlace (&places)[3]) {
    const double theta = double(i) * double(kFullTurn) / double(groups) + double(phase);
    const double r = radius;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    places[0] = {144 - TruncToInt(r * s), 104 - TruncToInt(r * c)};
    places[1] = {144 - TruncToInt((15.0 - r) * c), 104 - TruncToInt((60.0 - r) * s)};
    places[2] = {144 - TruncToInt((r - 30.0) * s), 104 - TruncToInt((r - 25.0) * c)};
}

}  // namespace zoom_trails

void ZoomTrailsPart::Load(HWND, Display&) {
    if (loadDone) return;
    loadDone = 1;

    workFrame = new Image(320, 240, 16);
    shownFrame = new Image(320, 240, 16);
    sprite1 = LoadTgaAs16(115);
    sprite2 = LoadTgaAs16(116);
    sprite3 = LoadTgaAs16(117);
    zoomblur::BuildZoomMaps(columnSource, rowSource);
    groupCount = 20;
}

void ZoomTrailsPart::Render(HWND, Display&, deciseconds t) {
    if (!started) {
        started = true;
        startTime = t;
    }
    localTime = t - startTime;
    if (workFrame == nullptr || shownFrame == nullptr) return;

    if (localTime < 50) {
        if (workFrame->pixels != nullptr) std::memset(workFrame->pixels, 0, 320 * 240 * 2);
    } else {
        groupCount = 2;
    }
    if (localTime > 90) groupCount = 0;

    phase = float(double(phase) + double(kPhaseStep));
    radius = float(50.0 * std::sin(double(phase)) + 10.0);

    Image& canvas = localTime >= 50 ? *shownFrame : *workFrame;
    for (int32_t i = 0; i < groupCount; ++i) {
        zoom_trails::SpritePlace places[3];
        zoom_trails::GroupPlaces(i, groupCount, phase, radius, places);
        AddSprite(canvas, places[0].x, places[0].y, *sprite1);
        AddSprite(canvas, places[1].x, places[1].y, *sprite2);
        AddSprite(canvas, places[2].x, places[2].y, *sprite3);
    }

    if (localTime <= 50) {
        shownFrame->ConvertFrom(*workFrame, nullptr);
        return;
    }
    zoomblur::ZoomFromMaps(*workFrame, *shownFrame, columnSource, rowSource);
    zoomblur::SoftenEightNeighbours(*shownFrame, *workFrame);
}

void ZoomTrailsPart::Present(HWND window, Display& display, deciseconds) {
    back_buffer::CopyFrame(window, display, shownFrame);
    display.Flip();
}

void ZoomTrailsPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;

    delete workFrame;
    workFrame = nullptr;
    delete shownFrame;
    shownFrame = nullptr;
    delete sprite1;
    sprite1 = nullptr;
    delete sprite2;
    sprite2 = nullptr;
    delete sprite3;
    sprite3 = nullptr;
}
