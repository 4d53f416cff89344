// The headless host: no screen, sound or input. A virtual music clock advanced by flips,
// scripted key presses and focus changes, and records of every frame (checksums, pictures),
// message box and trace line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "winapi/host.h"

namespace hosts {

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

// Selects the headless host and puts its virtual clock in the sound output's place.
void UseHeadless();
winapi::Host& HeadlessHost();

// Reads a comma-separated list of script times and 'load' into the options' pictures; false when
// an item is neither.
bool ParseShotTimes(const std::string& list, HeadlessOptions* options);

// Sets the options and opens the files they name; false with a reason on failure.
bool ConfigureHeadless(const HeadlessOptions& options, std::string* error);
// Back to the start: default options, clock at zero, no files, nothing recorded.
void ResetHeadless();
// Flushes and closes the files; false with a reason when writing failed.
bool FinishHeadless(std::string* error);

// Trace lines (debug output) go to `file`, one a line; null (the default) drops them. The file
// stays the caller's.
void SetTraceFile(FILE* file);

// Names what was on screen for each hash line; "-" when unset or when it answers null.
void SetFrameLabeller(const char* (*labeller)());

// Called with every flipped frame after it is recorded: 5-6-5 pixels, `pitch` bytes per row, the
// flip's index from 0 and its script time. Null: none.
using FrameSink = std::function<void(const uint16_t* pixels, int width, int height, int pitch,
                                     int64_t flip, int t)>;
void SetFrameSink(FrameSink sink);

// Told the script time at every read of the virtual clock. Null: nobody.
void SetClockObserver(void (*observer)(int64_t scriptTime));

struct HeadlessSummary {
    int64_t flips = 0;
    int lastT = -1;  // t of the pass that made the last flip; -1 before the first
    int boxes = 0;   // message boxes shown
};
HeadlessSummary HeadlessResults();

// Message boxes shown so far, oldest first.
struct RecordedBox {
    std::string caption;
    std::string text;
};
const std::vector<RecordedBox>& RecordedBoxes();
void ForgetRecordedBoxes();

// Trace lines seen while capturing (capturing starts empty).
void CaptureTrace(bool capture);
const std::vector<std::string>& CapturedTrace();

// The virtual music clock. True while the headless host is the selected one.
bool HeadlessClockInUse();
// The play position, in bytes of decoded audio, that the virtual clock gives now: after k flips
// at F frames per second it is floor(k * 176400 / F), plus the time spent inactive. Reading it
// also tells the clock that loading is over (the first read is the show's start).
uint32_t HeadlessMusicPosition();
// A stream started playing: loading is over.
void HeadlessMusicStarted();
// The output stopped (the show is ending).
void HeadlessMusicStopped();

}  // namespace hosts
