// The show's music: a piece in A minor at one tempo, its sections following the show's parts.
#include "piece.h"

#include <algorithm>

#include "dmath.h"

namespace music {

// A note `steps` scale degrees away in A natural minor (harmony voices); notes outside the
// scale count as the scale note below them.
int Diatonic(int note, int steps) {
    static constexpr int kFromA[7] = {0, 2, 3, 5, 7, 8, 10};
    const int fromA = note - 9;
    const int octave = fromA >= 0 ? fromA / 12 : -((11 - fromA) / 12);
    const int pitch = fromA - 12 * octave;
    int degree = 0;
    for (int d = 0; d < 7; ++d) {
        if (kFromA[d] <= pitch) degree = d;
    }
    const int target = octave * 7 + degree + steps;
    const int targetOctave = target >= 0 ? target / 7 : -((6 - target) / 7);
    return 9 + 12 * targetOctave + kFromA[target - 7 * targetOctave];
}

namespace {

// --- Time

std::int64_t At(double beat) {
    return dmath::Round(beat * kSamplesPerBeat);
}
std::int64_t Beats(double beats) {
    return dmath::Round(beats * kSamplesPerBeat);
}

// Beat at which section `s` starts (a beat is five clock units).
double SectionBeat(int s) {
    return kSectionUnits[s] / 5.0;
}

// --- Harmony

struct Chord {
    int bass;                // root, octave 1 or 2
    std::vector<int> pad;    // pad voicing around middle C
    std::vector<int> tones;  // chord tones for arpeggios and stabs, octave 4-5
};

const Chord kAm{33, {57, 60, 64}, {69, 72, 76}};
const Chord kF{29, {57, 60, 65}, {65, 69, 72}};
const Chord kC{36, {55, 60, 64}, {67, 72, 76}};
const Chord kG{31, {55, 59, 62}, {67, 71, 74}};
const Chord kEm{28, {55, 59, 64}, {64, 67, 71}};
const Chord kFmaj7{29, {53, 57, 60, 64}, {65, 69, 72, 76}};
const Chord kAm7{33, {55, 57, 60, 64}, {69, 72, 76, 79}};

// Main progression, the turn-around and the dreamy one; one chord a bar.
const std::vector<const Chord*> kMain = {&kAm, &kF, &kC, &kG};
const std::vector<const Chord*> kTurn = {&kF, &kG, &kEm, &kAm};
const std::vector<const Chord*> kDream = {&kFmaj7, &kG, &kEm, &kAm7};

const Chord& ChordOfBar(const std::vector<const Chord*>& progression, int bar) {
    return *progression[bar % progression.size()];
}

// --- Melodies: beat offset, length in beats, note

struct Note {
    double beat, length;
    int note;
};

// The theme over Am F C G.
const std::vector<Note> kTheme = {
    {0, 1, 76},       {1, 0.75, 81},   {1.75, 0.75, 79}, {2.5, 1.5, 76}, {4, 0.75, 77},
    {4.75, 0.75, 76}, {5.5, 0.5, 74},  {6, 2, 72},       {8, 0.75, 76},  {8.75, 0.75, 79},
    {9.5, 1, 84},     {10.5, 0.5, 83}, {11, 1, 79},      {12, 1.5, 74},  {13.5, 0.5, 71},
    {14, 1, 74},      {15, 1, 79},
};
// The theme's closing bar over Am.
const std::vector<Note> kThemeEnd = {{0, 3, 81}, {3, 1, 76}};
// Long counter line over Am F C G.
const std::vector<Note> kCounter = {
    {0, 3, 76}, {3, 1, 74}, {4, 4, 72}, {8, 3, 76}, {11, 1, 79}, {12, 4, 74},
};
// Answer over F G Em Am.
const std::vector<Note> kAnswer = {
    {0, 1, 72}, {1, 1, 77}, {2, 2, 76},  {4, 1, 74},  {5, 1, 79},  {6, 2, 74},
    {8, 1, 71}, {9, 1, 76}, {10, 2, 79}, {12, 3, 76}, {15, 1, 72},
};
// Slow line with long echoes over Fmaj7 G Em Am Fmaj7 G.
const std::vector<Note> kTrails = {
    {0, 3, 76},  {3, 1, 72},  {4, 3, 74},  {7, 1, 71},  {8, 2, 71},
    {10, 2, 76}, {12, 4, 72}, {16, 3, 81}, {19, 1, 79}, {20, 4, 79},
};

void PlayLine(Mix& mix, double start, const std::vector<Note>& line, const LeadTone& tone,
              double vel, int transpose = 0, int harmonySteps = 0, double until = 1e9) {
    for (const Note& n : line) {
        if (n.beat >= until) break;
        int note = n.note + transpose;
        if (harmonySteps != 0) note = Diatonic(note, harmonySteps);
        Lead(mix, At(start + n.beat), Beats(n.length * 0.92), note, vel, tone);
    }
}

// --- Drum patterns over [from, to) in beats

void FourOnTheFloor(Mix& mix, double from, double to, double vel) {
    for (double b = from; b < to; b += 1) Kick(mix, At(b), vel);
}

// Snare (and clap) on the second and fourth beat of each bar, bars counted from `from`.
void Backbeat(Mix& mix, double from, double to, double vel, bool clap) {
    for (double b = from + 1; b < to; b += 2) {
        Snare(mix, At(b), vel);
        if (clap) Clap(mix, At(b), vel * 0.8);
    }
}

// Sixteenth hats, accented, with an open hat on each off-beat.
void RollingHats(Mix& mix, double from, double to, double vel) {
    static constexpr double kAccent[4] = {0.45, 0.3, 0.0, 0.35};
    for (double b = from; b < to; b += 1) {
        for (int k = 0; k < 4; ++k) {
            if (k == 2) {
                Hat(mix, At(b + 0.5), vel * 0.8, true, 0.2);
            } else {
                Hat(mix, At(b + k * 0.25), vel * kAccent[k], false, 0.3);
            }
        }
    }
}

void OffbeatHats(Mix& mix, double from, double to, double vel, bool open) {
    for (double b = from; b < to; b += 1) Hat(mix, At(b + 0.5), vel, open, 0.2);
}

// Snare roll from `from` to `to`, the step halving at the given beats, rising in level.
void SnareRoll(Mix& mix, double from, double to, double sixteenthsAt, double thirtySecondsAt,
               double vel0, double vel1) {
    for (double b = from; b < to - 1e-9;) {
        const double x = (b - from) / (to - from);
        Snare(mix, At(b), vel0 + (vel1 - vel0) * x, 0.25);
        b += b >= thirtySecondsAt ? 0.125 : (b >= sixteenthsAt ? 0.25 : 0.5);
    }
}

void TomFill(Mix& mix, double from, double step, const std::vector<int>& notes, double vel) {
    for (std::size_t i = 0; i < notes.size(); ++i) {
        Tom(mix, At(from + i * step), notes[i], vel, i % 2 ? 0.35 : -0.35);
    }
}

// --- Bass and chord patterns

const BassTone kRollingBass{160, 1700, 0.07, 1.5, 1.8, 0, 0, 0.3};
const BassTone kDirtyBass{220, 2600, 0.05, 2.2, 3.2, 0, 0, 0.26};
const BassTone kSubBass{110, 250, 0.25, 0.8, 1.1, 0, 0, 0.38};

// Three sixteenths after each kick: root, octave, root.
void RollingBassLine(Mix& mix, const std::vector<const Chord*>& prog, double from, double to,
                     const BassTone& tone) {
    for (double b = from; b < to; b += 1) {
        const int bar = static_cast<int>((b - from) / 4);
        const int root = ChordOfBar(prog, bar).bass + 12;
        Bass(mix, At(b + 0.25), Beats(0.2), root, 0.85, tone);
        Bass(mix, At(b + 0.5), Beats(0.2), root + 12, 0.95, tone);
        Bass(mix, At(b + 0.75), Beats(0.2), root, 0.85, tone);
    }
}

void PadChords(Mix& mix, const std::vector<const Chord*>& prog, double from, double to,
               const PadTone& tone, double vel, std::uint32_t seed) {
    int bar = 0;
    for (double b = from; b < to; b += 4, ++bar) {
        const double length = std::min(4.0, to - b);
        Pad(mix, At(b), Beats(length), ChordOfBar(prog, bar).pad, vel, tone, seed + bar);
    }
}

// Sixteenth arpeggio over the chord tones, up and down two octaves, alternating sides.
void Arpeggio(Mix& mix, const std::vector<const Chord*>& prog, double from, double to, double step,
              const PluckTone& tone, double vel) {
    int i = 0;
    for (double b = from; b < to - 1e-9; b += step, ++i) {
        const int bar = static_cast<int>((b - from) / 4 + 1e-9);
        const std::vector<int>& tones = ChordOfBar(prog, bar).tones;
        const int n = static_cast<int>(tones.size());
        const int cycle = i % (2 * n);
        const int up = cycle < n ? cycle : 2 * n - 1 - cycle;
        const int note = tones[up] + (i / (2 * n) % 2 ? 12 : 0);
        Pluck(mix, At(b), note, vel * (i % 4 == 0 ? 1.0 : 0.75), tone, i % 2 ? 0.45 : -0.45);
    }
}

// Short chord stabs on the first beat and the "and" of the third of every bar.
void Stabs(Mix& mix, const std::vector<const Chord*>& prog, double from, double to, double vel) {
    PluckTone tone;
    tone.ampDecay = 0.16;
    tone.envAmount = 5000;
    tone.level = 0.125;
    tone.route = {0, 0.3, 0.2, true};
    int bar = 0;
    for (double b = from; b < to; b += 4, ++bar) {
        for (double offset : {0.0, 2.5}) {
            if (b + offset >= to) continue;
            const std::vector<int>& tones = ChordOfBar(prog, bar).tones;
            for (std::size_t k = 0; k < tones.size(); ++k) {
                Pluck(mix, At(b + offset), tones[k] - 12, vel, tone, -0.3 + 0.3 * k);
            }
        }
    }
}

// --- The sections, in show order

// Opening picture: a chord swells out of an impact, a plucked arpeggio opens up, the beat
// comes in halfway and a snare roll leads into the groove.
void Opening(Mix& mix, double from, double to) {
    Impact(mix, At(from), 0.8);
    Crash(mix, At(from), 0.9);
    const std::vector<const Chord*> prog = {&kAm, &kAm, &kF, &kF, &kC, &kC, &kG, &kG};
    for (int bar = 0; bar * 4 < to - from; ++bar) {
        const double b = from + bar * 4;
        PadTone tone;
        tone.cutoff = 600 + 220 * bar;
        tone.attack = bar == 0 ? 1.5 : 0.3;
        Pad(mix, At(b), Beats(std::min(4.0, to - b)), prog[bar]->pad, 1.0, tone, 11 + bar);
    }
    PluckTone pluck;
    for (double b = from + 4; b < to - 2; b += 2) {
        pluck.envAmount = 600 + 4000 * (b - from - 4) / 24;
        const int bar = static_cast<int>((b - from) / 4);
        Arpeggio(mix, {prog[bar]}, b, b + 2, 0.25, pluck, 0.8);
    }
    FourOnTheFloor(mix, from + 16, to - 2, 0.9);
    OffbeatHats(mix, from + 20, to - 2, 0.5, false);
    for (double b = from + 16; b < to - 2; b += 1) {
        const int bar = static_cast<int>((b - from) / 4);
        Bass(mix, At(b + 0.5), Beats(0.4), prog[bar]->bass + 12, 0.9, kRollingBass);
    }
    Riser(mix, At(to - 6), Beats(6), 0.7);
    SnareRoll(mix, to - 2, to, to - 2, to - 0.5, 0.3, 0.9);
}

// Rotozoom with white flashes: the full groove with chord stabs and the theme.
void Groove(Mix& mix, double from, double to) {
    Crash(mix, At(from), 0.9);
    FourOnTheFloor(mix, from, to, 1.0);
    Backbeat(mix, from, to, 0.8, true);
    RollingHats(mix, from, to, 0.7);
    RollingBassLine(mix, kMain, from, to, kRollingBass);
    Stabs(mix, kMain, from, to, 0.8);
    PadChords(mix, kMain, from, to, PadTone{1100, 0.2, 0.6, 0.063, 0.35}, 1.0, 21);
    const LeadTone lead;
    PlayLine(mix, from, kTheme, lead, 1.0);
    PlayLine(mix, from + 16, kThemeEnd, lead, 1.0);
}

// Wobbling picture zooming through: the drums drop out, the bass wobbles, noise rises and a
// snare roll speeds up into the glow.
void Breakdown(Mix& mix, double from, double to) {
    Kick(mix, At(from), 1.0);
    Crash(mix, At(from), 0.6);
    BassTone wobble{110, 300, 0.2, 2.6, 2.0, 2 * kRate / kSamplesPerBeat, 3.4, 0.3};
    Bass(mix, At(from), Beats(6), kAm.bass + 12, 1.0, wobble);
    wobble.wobbleHz *= 2;
    Bass(mix, At(from + 6), Beats(to - from - 6.2), kF.bass + 12, 1.0, wobble);
    const PadTone pad{850, 0.5, 0.5, 0.077, 0.45};
    Pad(mix, At(from), Beats(6), kAm.pad, 1.0, pad, 31);
    Pad(mix, At(from + 6), Beats(to - from - 6), kF.pad, 1.0, pad, 32);
    Riser(mix, At(from + 4), At(to) - At(from + 4), 0.9);
    SnareRoll(mix, from + 6, to - 0.15, from + 9, from + 11, 0.25, 1.0);
    ReverseCrash(mix, At(to), Beats(2), 0.8);
}

// Glowing blob field: bells over wide pads, a slow half-time beat and a deep sub.
void Glow(Mix& mix, double from, double to) {
    Impact(mix, At(from), 0.9);
    Crash(mix, At(from), 0.7);
    const PadTone pad{2200, 0.6, 1.2, 0.07, 0.5};
    const double grid = 64;  // first whole bar of this section
    Pad(mix, At(from), At(grid) - At(from), kAm7.pad, 1.0, pad, 41);
    const std::vector<const Chord*> prog = {&kFmaj7, &kG, &kEm, &kAm7, &kFmaj7};
    for (int bar = 0; bar < 5; ++bar) {
        const double b = grid + 4 * bar;
        if (bar < 4) {
            Pad(mix, At(b), Beats(4), prog[bar]->pad, 1.0, pad, 42 + bar);
            Bass(mix, At(b), Beats(3.8), prog[bar]->bass + 12, 0.9, kSubBass);
        } else {
            Pad(mix, At(b), Beats(2), kFmaj7.pad, 1.0, pad, 47);
            Pad(mix, At(b + 2), Beats(2), kG.pad, 1.0, pad, 48);
            Bass(mix, At(b), Beats(1.9), kF.bass + 12, 0.9, kSubBass);
            Bass(mix, At(b + 2), Beats(1.9), kG.bass + 12, 0.9, kSubBass);
        }
        const std::vector<int>& tones = prog[bar]->tones;
        static constexpr double kBellAt[6] = {0, 0.75, 1.5, 2, 3, 3.5};
        for (int k = 0; k < 6; ++k) {
            const int note = tones[(k + bar) % tones.size()] + (k == 2 || k == 5 ? 12 : 0);
            Bell(mix, At(b + kBellAt[k]), note, k == 0 ? 0.9 : 0.65, k % 2 ? 0.5 : -0.5);
        }
        if (bar < 4) {
            Kick(mix, At(b), 0.85);
            Kick(mix, At(b + 2.5), 0.6);
            Snare(mix, At(b + 2), 0.6, 0.6);
            for (int s = 0; s < 16; ++s)
                Hat(mix, At(b + s * 0.25), s % 2 ? 0.12 : 0.22, false, 0.4);
        }
    }
    TomFill(mix, to - 2, 0.5, {52, 48, 45, 40}, 0.9);
    ReverseCrash(mix, At(to), Beats(2), 0.6);
}

// Tunnel with flying points: driving octave bass, a delayed sixteenth arpeggio and the
// counter line.
void Drive(Mix& mix, double from, double to) {
    Crash(mix, At(from), 0.9);
    FourOnTheFloor(mix, from, to, 1.0);
    Backbeat(mix, from, to, 0.75, false);
    OffbeatHats(mix, from, to, 0.55, true);
    for (double b = from; b < to; b += 0.5) {
        const int bar = static_cast<int>((b - from) / 4);
        const int root = ChordOfBar(kMain, bar).bass + 12;
        const bool up = static_cast<int>((b - from) * 2) % 2 == 1;
        Bass(mix, At(b), Beats(0.35), up ? root + 12 : root, up ? 0.9 : 0.8, kRollingBass);
    }
    PluckTone pluck;
    pluck.route.delay = 0.4;
    Arpeggio(mix, kMain, from, to, 0.25, pluck, 0.75);
    PadChords(mix, kMain, from, to, PadTone{900, 0.3, 0.6, 0.056, 0.3}, 1.0, 51);
    LeadTone lead;
    lead.cutoff = 3400;
    PlayLine(mix, from, kCounter, lead, 0.95);
    Lead(mix, At(from + 16), Beats(3.6), 76, 0.95, lead);
}

// Interfering rings: the turn-around with a dotted-eighth pluck against the beat and a
// syncopated bass.
void Rings(Mix& mix, double from, double to) {
    Crash(mix, At(from), 0.7);
    FourOnTheFloor(mix, from, to, 0.95);
    for (double b = from + 1; b < to; b += 2) Snare(mix, At(b), 0.55, 0.2);
    for (double b = from + 3; b < to; b += 4) Clap(mix, At(b), 0.7);
    for (double b = from; b < to; b += 0.25) {
        const int k = static_cast<int>((b - from) * 4) % 4;
        Hat(mix, At(b), k == 2 ? 0.35 : 0.18, false, 0.3);
    }
    for (double b = from; b < to; b += 2) {
        const int root = ChordOfBar(kTurn, static_cast<int>((b - from) / 4)).bass + 12;
        Bass(mix, At(b), Beats(0.6), root, 0.9, kRollingBass);
        Bass(mix, At(b + 0.75), Beats(0.6), root, 0.8, kRollingBass);
        Bass(mix, At(b + 1.5), Beats(0.4), root + 12, 0.9, kRollingBass);
    }
    PluckTone pluck;
    pluck.ampDecay = 0.3;
    pluck.route.delay = 0.35;
    int i = 0;
    for (double b = from; b < to - 1e-9; b += 0.75, ++i) {
        const std::vector<int>& tones = ChordOfBar(kTurn, static_cast<int>((b - from) / 4)).tones;
        Pluck(mix, At(b), tones[i % 3] + 12, 0.8, pluck, i % 2 ? 0.6 : -0.6);
    }
    for (double b = from; b < to; b += 4) Bell(mix, At(b), 81, 0.5, 0);
    PadChords(mix, kTurn, from, to, PadTone{1000, 0.3, 0.6, 0.056, 0.35}, 1.0, 61);
    LeadTone lead;
    lead.level = 0.15;
    PlayLine(mix, from, kAnswer, lead, 1.0, 0, 0, 14);
    TomFill(mix, to - 2, 0.5, {50, 47, 43, 40}, 0.8);
}

// Lobed tunnel with the shaking figure: a gritty sixteenth bass and the theme in a rough
// voice with a harmony a third below.
void Shake(Mix& mix, double from, double to) {
    Crash(mix, At(from), 0.9);
    FourOnTheFloor(mix, from, to, 1.0);
    Backbeat(mix, from, to, 0.85, true);
    RollingHats(mix, from, to, 0.6);
    for (double b = from; b < to; b += 0.25) {
        const int k = static_cast<int>((b - from) * 4) % 4;
        if (k == 0) continue;
        const int root = ChordOfBar(kMain, static_cast<int>((b - from) / 4)).bass + 12;
        Bass(mix, At(b), Beats(0.18), k == 2 ? root + 12 : root, 0.9, kDirtyBass);
    }
    PadChords(mix, kMain, from, to, PadTone{800, 0.3, 0.6, 0.049, 0.3}, 1.0, 71);
    LeadTone lead;
    lead.drive = 2.0;
    lead.cutoff = 2200;
    PlayLine(mix, from, kTheme, lead, 0.95);
    PlayLine(mix, from, kTheme, lead, 0.6, 0, -2);
}

// Ray-cast turning tunnel: everything at once, the theme doubled in thirds.
void Anthem(Mix& mix, double from, double to, std::uint32_t seed) {
    Crash(mix, At(from), 1.0);
    FourOnTheFloor(mix, from, to, 1.0);
    Backbeat(mix, from, to, 0.85, true);
    RollingHats(mix, from, to, 0.7);
    RollingBassLine(mix, kMain, from, to, kRollingBass);
    Stabs(mix, kMain, from, to, 0.75);
    PadChords(mix, kMain, from, to, PadTone{1500, 0.2, 0.6, 0.063, 0.35}, 1.0, seed);
    PluckTone pluck;
    pluck.level = 0.11;
    pluck.route.delay = 0.4;
    Arpeggio(mix, kMain, from, to, 0.25, pluck, 0.7);
}

void Turning(Mix& mix, double from, double to) {
    Impact(mix, At(from), 0.5);
    Anthem(mix, from, to, 81);
    const LeadTone lead;
    PlayLine(mix, from, kTheme, lead, 1.0);
    PlayLine(mix, from, kTheme, lead, 0.6, 0, -2);
    PlayLine(mix, from + 16, kThemeEnd, lead, 1.0);
    PlayLine(mix, from + 16, kThemeEnd, lead, 0.6, 0, -2);
}

// Rolling floor and ceiling: the turn-around in triplets.
void Rolling(Mix& mix, double from, double to) {
    Crash(mix, At(from), 0.8);
    FourOnTheFloor(mix, from, to - 2, 1.0);
    Backbeat(mix, from, to - 2, 0.8, false);
    int i = 0;
    for (double b = from; b < to - 2 - 1e-9; b += 1.0 / 3, ++i) {
        Hat(mix, At(b), i % 3 == 0 ? 0.35 : 0.2, i % 3 == 2, 0.3);
    }
    static constexpr int kRoll[3] = {0, 12, 7};
    i = 0;
    for (double b = from; b < to - 1e-9; b += 1.0 / 3, ++i) {
        const int root = ChordOfBar(kTurn, static_cast<int>((b - from) / 4 + 1e-9)).bass + 12;
        Bass(mix, At(b), Beats(0.28), root + kRoll[i % 3], i % 3 == 0 ? 0.95 : 0.8, kRollingBass);
    }
    PluckTone pluck;
    pluck.route.delay = 0.3;
    Arpeggio(mix, kTurn, from, to, 1.0 / 3, pluck, 0.8);
    PadChords(mix, kTurn, from, to, PadTone{1300, 0.3, 0.6, 0.063, 0.35}, 1.0, 91);
    for (double b = from; b < to; b += 4) Bell(mix, At(b), 76, 0.6, 0.3);
    TomFill(mix, to - 2, 1.0 / 3, {55, 52, 50, 47, 45, 40}, 0.85);
}

// Additive rings with trails: half-time drums, bright pads and a slow line whose echoes trail.
void Trails(Mix& mix, double from, double /*to*/) {
    Crash(mix, At(from), 0.6);
    const std::vector<const Chord*> prog = {&kFmaj7, &kG, &kEm, &kAm7, &kFmaj7, &kG};
    for (int bar = 0; bar < 6; ++bar) {
        const double b = from + 4 * bar;
        Pad(mix, At(b), Beats(4), prog[bar]->pad, 1.0, PadTone{2600, 0.4, 1.0, 0.084, 0.5},
            101 + bar);
        Bass(mix, At(b), Beats(3.8), prog[bar]->bass + 12, 0.9, kSubBass);
        Kick(mix, At(b), 0.85);
        Kick(mix, At(b + 2), 0.7);
        Snare(mix, At(b + 2), 0.55, 0.6);
        for (int k = 0; k < 4; ++k) Hat(mix, At(b + k + 0.5), 0.3, true, -0.2);
        Bell(mix, At(b + 1.5), prog[bar]->tones[bar % 3] + 12, 0.5, bar % 2 ? 0.6 : -0.6);
    }
    LeadTone lead;
    lead.cutoff = 2000;
    lead.vibrato = 0.3;
    lead.route = {0, 0.35, 0.6, false};
    PlayLine(mix, from, kTrails, lead, 1.0);
}

// Picture catching fire: crackling fire over the rough groove, then the build-up into the
// credits.
void Fire(Mix& mix, double from, double to) {
    Crash(mix, At(from), 1.0);
    Impact(mix, At(from), 0.6);
    Crackle(mix, At(from), At(to) - At(from), 0.9, 0xF17Eu);
    const double build = to - 8;
    FourOnTheFloor(mix, from, to - 4, 1.0);
    for (double b = to - 4; b < to - 1; b += 0.5) Kick(mix, At(b), 0.8 + 0.05 * (b - to + 4));
    Backbeat(mix, from, build, 0.85, true);
    RollingHats(mix, from, build, 0.65);
    OffbeatHats(mix, build, to - 2, 0.5, false);
    for (double b = from; b < build; b += 0.25) {
        const int k = static_cast<int>((b - from) * 4) % 4;
        if (k == 0) continue;
        const int root = ChordOfBar(kMain, static_cast<int>((b - from) / 4)).bass + 12;
        Bass(mix, At(b), Beats(0.18), k == 2 ? root + 12 : root, 0.9, kDirtyBass);
    }
    // The build: the bass's filter opens bar by bar over A, then F to G.
    for (double b = build; b < to - 0.5; b += 0.5) {
        BassTone tone = kRollingBass;
        tone.cutoff = 160 + 160 * (b - build);
        const int root = (b < build + 4 ? kAm : (b < build + 6 ? kF : kG)).bass + 12;
        Bass(mix, At(b), Beats(0.4), root, 0.9, tone);
    }
    PadChords(mix, kMain, from, build, PadTone{1000, 0.3, 0.6, 0.056, 0.3}, 1.0, 111);
    Pad(mix, At(build), Beats(4), kAm.pad, 1.0, PadTone{1200, 1.0, 0.6, 0.07, 0.4}, 117);
    Pad(mix, At(build + 4), Beats(2), kF.pad, 1.0, PadTone{2000, 0.2, 0.6, 0.07, 0.4}, 118);
    Pad(mix, At(build + 6), Beats(2), kG.pad, 1.0, PadTone{3000, 0.2, 0.6, 0.07, 0.4}, 119);
    LeadTone lead;
    lead.drive = 2.6;
    lead.cutoff = 2600;
    PlayLine(mix, from, kTheme, lead, 0.95);
    PlayLine(mix, from, kTheme, lead, 0.6, 0, -2);
    Riser(mix, At(build), Beats(8), 1.0);
    SnareRoll(mix, build, to, build + 4, build + 6.5, 0.3, 1.0);
    ReverseCrash(mix, At(to), Beats(2), 0.9);
}

// Credits: the anthem to the end, then three closing hits and a final chord that rings out.
void Credits(Mix& mix, double from, double to) {
    Impact(mix, At(from), 0.8);
    const double ending = to - 4;  // last bar: the closing hits
    Anthem(mix, from, ending, 121);
    const LeadTone lead;
    for (int pass = 0; pass < 3; ++pass) {
        const double b = from + 16 * pass;
        PlayLine(mix, b, kTheme, lead, 1.0);
        if (pass >= 1) PlayLine(mix, b, kTheme, lead, 0.6, 0, -2);
        if (pass == 2) PlayLine(mix, b, kCounter, lead, 0.5, -12);
    }
    PlayLine(mix, from + 48, kTheme, lead, 1.0, 0, 0, 6);
    PlayLine(mix, from + 48, kTheme, lead, 0.6, 0, -2, 6);
    Lead(mix, At(from + 54), Beats(1.8), 79, 1.0, lead);
    Lead(mix, At(from + 56), Beats(1.8), 83, 1.0, lead);
    Lead(mix, At(from + 58), Beats(1.8), 86, 1.0, lead);
    SnareRoll(mix, ending - 1, ending, ending - 1, ending - 0.5, 0.5, 1.0);
    TomFill(mix, ending - 2, 0.25, {55, 52, 50, 47}, 0.9);

    // F, G, then A minor, each hit with kick, crash, bass, chord and lead.
    struct Hit {
        double beat;
        const Chord* chord;
        int lead;
        double length;
    };
    const Hit hits[3] = {
        {ending, &kF, 81, 0.9}, {ending + 1.5, &kG, 83, 0.9}, {ending + 3, &kAm, 81, 0.6}};
    for (const Hit& h : hits) {
        const bool last = &h == &hits[2];
        Kick(mix, At(h.beat), 1.0);
        Crash(mix, At(h.beat), last ? 1.0 : 0.7);
        Bass(mix, At(h.beat), Beats(h.length), h.chord->bass + 12, 1.0, kRollingBass);
        Pad(mix, At(h.beat), Beats(h.length), h.chord->pad, 1.3,
            PadTone{2500, 0.01, 0.35, 0.084, 0.5}, 131);
        PluckTone stab;
        stab.ampDecay = last ? 0.4 : 0.2;
        stab.level = 0.14;
        for (int note : h.chord->tones) Pluck(mix, At(h.beat), note, 1.0, stab, 0);
        Lead(mix, At(h.beat), Beats(h.length), h.lead, 1.0, lead);
        Lead(mix, At(h.beat), Beats(h.length), h.lead - 12, 0.6, lead);
        if (last) {
            Impact(mix, At(h.beat), 0.9);
            Snare(mix, At(h.beat), 1.0, 0.4);
        }
    }
}

}  // namespace

Stereo RenderPiece(std::int64_t samples, double ceiling, RenderReport* report) {
    Mix mix(static_cast<std::size_t>(samples));
    using Section = void (*)(Mix&, double, double);
    static constexpr Section kSections[12] = {Opening, Groove,  Breakdown, Glow,   Drive, Rings,
                                              Shake,   Turning, Rolling,   Trails, Fire,  Credits};
    // A section writes nothing before its own start, so those past the end are left out.
    for (int s = 0; s < 12 && At(SectionBeat(s)) < samples; ++s) {
        kSections[s](mix, SectionBeat(s), SectionBeat(s + 1));
    }

    const Stereo echoes = PingPong(mix.delay, Beats(0.75), 0.42);
    const Stereo room = Room(mix.reverb, 0.86, 0.3);
    Stereo out(static_cast<std::size_t>(samples));
    for (std::size_t i = 0; i < out.size(); ++i) {
        out.l[i] = mix.main.l[i] + mix.ducked.l[i] * mix.duck[i] + echoes.l[i] + room.l[i];
        out.r[i] = mix.main.r[i] + mix.ducked.r[i] * mix.duck[i] + echoes.r[i] + room.r[i];
    }
    // Short notes of the saw bass leave a little DC; a high-pass well below the bass removes it.
    Svf dcLeft, dcRight;
    dcLeft.Set(24, 0.7071);
    dcRight.Set(24, 0.7071);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out.l[i] = dcLeft.Run(out.l[i]).high;
        out.r[i] = dcRight.Run(out.r[i]).high;
    }
    double peak = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        peak = std::max(peak, std::max(std::abs(out.l[i]), std::abs(out.r[i])));
    }
    const double meanGain = Limit(out, ceiling, 110, 0.25);
    if (report) *report = {peak, meanGain};

    // The last chord fades to nothing over the final 0.7 s.
    const std::int64_t fadeEnd = dmath::Round(140.6 * kRate);
    const std::int64_t fadeStart = fadeEnd - dmath::Round(0.7 * kRate);
    for (std::int64_t i = fadeStart; i < samples; ++i) {
        const double g =
            i >= fadeEnd ? 0.0 : static_cast<double>(fadeEnd - i) / (fadeEnd - fadeStart);
        out.l[i] *= g;
        out.r[i] *= g;
    }
    return out;
}

}  // namespace music
