// The headless backend: no screen, sound or input. A virtual clock advanced by flips, scripted
// key presses and focus changes, and records of every frame (checksums, pictures).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/backend.h"

namespace platform {

struct HeadlessOptions {
    int fps = 60;                     // virtual frames per second of the clock
    int escapeAt = -1;                // script time at which Escape is pressed; -1: never
    int escapePresses = 1;            // presses at escapeAt, in a row (as a held key repeats)
    bool escapeWhileLoading = false;  // Escape pressed while the loading screen shows
    bool escapeWhileEnding = false;   // Escape pressed as the show ends (when the music stops)
    int deactivateAt = -1;            // script time at which the focus is lost; -1: never
    int activateAt = -1;              // music time at which it comes back; -1: never
    std::string hashesPath;           // one line per flip; empty: none
    std::string shotsDir;             // where pictures go
    std::vector<int> shotTimes;       // script times to picture
    bool shotLoad = false;            // picture the screen when loading is over
};

Backend& HeadlessBackend();

// Reads a comma-separated list of script times and 'load' into the options' pictures; false when
// an item is neither.
bool ParseShotTimes(const std::string& list, HeadlessOptions* options);

// Sets the options and opens the files they name; false with a reason on failure.
bool ConfigureHeadless(const HeadlessOptions& options, std::string* error);
// Back to the start: default options, clock at zero, no files, nothing recorded.
void ResetHeadless();
// Flushes and closes the files; false with a reason when writing failed.
bool FinishHeadless(std::string* error);

// Names what was on screen for each hash line (the active part); "-" when unset.
void SetFrameLabeller(std::string (*labeller)());

// Called with every flipped frame after it is recorded: 5-6-5 pixels, `pitch` bytes per row, the
// flip's index from 0 and its script time. Null: none.
using FrameSink = std::function<void(const uint16_t* pixels, int width, int height, int pitch,
                                     int64_t flip, int t)>;
void SetFrameSink(FrameSink sink);

struct HeadlessSummary {
    int64_t flips = 0;
    int lastT = -1;  // t of the pass that made the last flip; -1 before the first
};
HeadlessSummary HeadlessResults();

}  // namespace platform
