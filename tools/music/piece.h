// The show's music: arrangement and mixdown.
#pragma once

#include <cstdint>
#include <vector>

#include "synth.h"

namespace music {

// One tempo for the whole piece: a beat is 21750 samples (about 121.7 per minute), five of the
// show's clock units of 4350 samples, so most part changes fall on bar lines.
inline constexpr std::int64_t kSamplesPerBeat = 21750;
inline constexpr std::int64_t kSamplesPerClockUnit = 4350;

// Clock units (1/10 s of the show's clock) at which the twelve parts begin, then the end.
inline constexpr int kSectionUnits[13] = {0,   150, 250, 312,  420,  520, 600,
                                          680, 780, 880, 1000, 1120, 1420};

// The note `steps` degrees of A natural minor above (steps > 0) or below `note`, for harmony
// lines; a note outside the scale counts as the scale note below it.
int Diatonic(int note, int steps);

struct RenderReport {
    double mixPeak = 0;   // highest sample of the mix before the limiter, full scale 1
    double meanGain = 1;  // the limiter's average gain
};

// Renders `samples` stereo samples of the finished piece (sample 0 is the show's time 0),
// mixed, limited to `ceiling` (full scale 1) and faded out at the end. A shorter render is the
// start of the whole piece, but for its last 220 samples, where the limiter cannot look ahead.
Stereo RenderPiece(std::int64_t samples, double ceiling, RenderReport* report = nullptr);

}  // namespace music
