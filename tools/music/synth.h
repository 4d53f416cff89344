// Sound building blocks and instruments of the show's music generator. Every voice is rendered
// straight into whole-length buses, note by note, in a fixed order; only double arithmetic and
// the functions of dmath.h are used, so a render is the same bits on every machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace music {

inline constexpr double kRate = 44100.0;

// Two channels of samples, full scale +-1.
struct Stereo {
    explicit Stereo(std::size_t n) : l(n), r(n) {}
    std::size_t size() const { return l.size(); }
    std::vector<double> l, r;
};

// White noise in [-1, 1) from a 32-bit xorshift generator.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(static_cast<std::int32_t>(state_)) / 2147483648.0;
    }
    // Uniform in [0, 1).
    double Unit() { return 0.5 * (Next() + 1.0); }

  private:
    std::uint32_t state_;
};

// sin(2 pi phase) for a phase in cycles, from a table with linear interpolation.
double SineCycles(double phase);

// Two-pole state-variable filter (trapezoidal integration), all three outputs at once.
class Svf {
  public:
    struct Out {
        double low, band, high;
    };
    // Cutoff is clamped below Nyquist; q > 0.5, higher is more resonant.
    void Set(double cutoffHz, double q);
    Out Run(double x);

  private:
    double a1_ = 0, a2_ = 0, a3_ = 0, k_ = 1;
    double ic1_ = 0, ic2_ = 0;
};

// Band-limited (polyBLEP) oscillators; phase in cycles.
class Osc {
  public:
    explicit Osc(double phase = 0) : phase_(phase) {}
    double Saw(double hz);
    double Square(double hz);
    double Sine(double hz);

  private:
    double phase_;
};

// Where instruments write. `ducked` is scaled by `duck` (the kick's side-chain) at mixdown;
// the sends feed the reverb (mono) and the ping-pong delay (stereo).
struct Mix {
    explicit Mix(std::size_t n) : main(n), ducked(n), delay(n), reverb(n), duck(n, 1.0) {}
    std::size_t size() const { return main.size(); }
    Stereo main, ducked, delay;
    std::vector<double> reverb, duck;
};

// Output routing of one voice: pan -1 (left) .. 1 (right), send levels.
struct Route {
    double pan = 0;
    double reverb = 0;
    double delay = 0;
    bool ducked = false;
};

// --- Drums and effects. `at` is a sample index; vel scales the level (about 0..1).
void Kick(Mix& mix, std::int64_t at, double vel);
void Snare(Mix& mix, std::int64_t at, double vel, double reverb = 0.15);
void Clap(Mix& mix, std::int64_t at, double vel);
void Hat(Mix& mix, std::int64_t at, double vel, bool open, double pan = 0.25);
void Crash(Mix& mix, std::int64_t at, double vel);
// A crash played backwards, swelling over `length` samples and ending at `end`.
void ReverseCrash(Mix& mix, std::int64_t end, std::int64_t length, double vel);
void Tom(Mix& mix, std::int64_t at, double note, double vel, double pan);
// Deep falling sine with a noise thump, for the big moments.
void Impact(Mix& mix, std::int64_t at, double vel);
// Noise and a saw sweeping up over `length` samples.
void Riser(Mix& mix, std::int64_t at, std::int64_t length, double vel);
// Fire: a low roar with random crackles, `length` samples.
void Crackle(Mix& mix, std::int64_t at, std::int64_t length, double vel, std::uint32_t seed);

// --- Pitched voices. `length` is the gate in samples; the release follows it.
struct BassTone {
    double cutoff = 180;      // Hz, filter floor
    double envAmount = 1400;  // Hz added at the attack, decaying
    double envDecay = 0.08;   // s
    double q = 1.4;
    double drive = 1.5;
    double wobbleHz = 0;       // filter LFO, 0 for none
    double wobbleOctaves = 0;  // LFO depth upward from the cutoff
    double level = 0.32;
};
void Bass(Mix& mix, std::int64_t at, std::int64_t length, double note, double vel,
          const BassTone& tone);

struct PluckTone {
    double cutoff = 350;
    double envAmount = 4000;
    double envDecay = 0.09;
    double ampDecay = 0.25;
    double level = 0.2;
    Route route{0, 0.15, 0.3, true};
};
void Pluck(Mix& mix, std::int64_t at, double note, double vel, const PluckTone& tone, double pan);

struct PadTone {
    double cutoff = 1500;
    double attack = 0.35;  // s
    double release = 0.8;  // s
    double level = 0.085;
    double reverb = 0.35;
};
void Pad(Mix& mix, std::int64_t at, std::int64_t length, const std::vector<int>& notes, double vel,
         const PadTone& tone, std::uint32_t seed);

struct LeadTone {
    double cutoff = 3600;
    double level = 0.19;
    double vibrato = 0.22;  // semitones, fading in after the attack
    double drive = 1.0;
    Route route{0, 0.2, 0.28, false};
};
void Lead(Mix& mix, std::int64_t at, std::int64_t length, double note, double vel,
          const LeadTone& tone);

// FM bell.
void Bell(Mix& mix, std::int64_t at, double note, double vel, double pan);

// --- Whole-mix effects, run once after all notes are in.
// Ping-pong delay of the delay send: `delay` samples, feedback with damping; returns the wet.
Stereo PingPong(const Stereo& send, std::int64_t delay, double feedback);
// Schroeder/Moorer room (eight combs, four all-passes per side) of the mono send.
Stereo Room(const std::vector<double>& send, double roomSize, double damping);
// Look-ahead peak limiter: scales both channels by a smooth gain so that no sample
// exceeds `ceiling`; the gain follows peaks within `window` samples either side. Returns the
// mean gain (1 when nothing was limited).
double Limit(Stereo& sound, double ceiling, int window, double releaseSeconds);

}  // namespace music
