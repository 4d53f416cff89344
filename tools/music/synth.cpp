// Sound building blocks and instruments of the show's music generator.
#include "synth.h"

#include <algorithm>
#include <array>
#include <deque>

#include "dmath.h"

namespace music {

namespace {

constexpr int kTableSize = 4096;

const std::array<double, kTableSize + 1>& SineTable() {
    static const std::array<double, kTableSize + 1> table = [] {
        std::array<double, kTableSize + 1> t{};
        for (int i = 0; i <= kTableSize; ++i) t[i] = dmath::Sin(dmath::kTwoPi * i / kTableSize);
        return t;
    }();
    return table;
}

// Residual of a unit step at phase 0 for polyBLEP, t in cycles, dt cycles per sample.
double Blep(double t, double dt) {
    if (t < dt) {
        const double x = t / dt;
        return x + x - x * x - 1.0;
    }
    if (t > 1.0 - dt) {
        const double x = (t - 1.0) / dt;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}

double Wrap(double phase) {
    return phase - std::floor(phase);
}

// Wrap for a phase known to be in [0, 2): the same result, without the floor.
double WrapOnce(double phase) {
    return phase >= 1.0 ? phase - 1.0 : phase;
}

// Left and right gains of a pan position, equal power.
struct Gains {
    double l, r;
};
Gains PanGains(double pan) {
    const double angle = (pan + 1.0) * (dmath::kPi / 4);
    return {dmath::Cos(angle), dmath::Sin(angle)};
}

// Writes one stereo sample of a voice with its routing; indices outside the mix are dropped.
void Put(Mix& mix, std::int64_t i, double l, double r, const Route& route) {
    if (i < 0 || i >= static_cast<std::int64_t>(mix.size())) return;
    Stereo& out = route.ducked ? mix.ducked : mix.main;
    out.l[i] += l;
    out.r[i] += r;
    if (route.reverb != 0) mix.reverb[i] += route.reverb * (l + r);
    if (route.delay != 0) {
        mix.delay.l[i] += route.delay * l;
        mix.delay.r[i] += route.delay * r;
    }
}

void PutMono(Mix& mix, std::int64_t i, double v, const Route& route, const Gains& g) {
    Put(mix, i, v * g.l, v * g.r, route);
}

std::int64_t Samples(double seconds) {
    return dmath::Round(seconds * kRate);
}

// Linear fade over the last `fade` samples of an `n`-sample voice, so nothing is cut mid-wave.
double Tail(std::int64_t i, std::int64_t n, std::int64_t fade) {
    const std::int64_t left = n - i;
    return left >= fade ? 1.0 : static_cast<double>(left) / fade;
}

}  // namespace

double SineCycles(double phase) {
    const auto& table = SineTable();
    const double p = Wrap(phase) * kTableSize;
    const int i = static_cast<int>(p);
    const double f = p - i;
    return table[i] + (table[i + 1] - table[i]) * f;
}

void Svf::Set(double cutoffHz, double q) {
    const double fc = std::min(cutoffHz, kRate * 0.45);
    const double g = dmath::Tan(dmath::kPi * fc / kRate);
    k_ = 1.0 / q;
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

Svf::Out Svf::Run(double x) {
    const double v3 = x - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {v2, v1, x - k_ * v1 - v2};
}

double Osc::Saw(double hz) {
    const double dt = hz / kRate;
    const double y = 2.0 * phase_ - 1.0 - Blep(phase_, dt);
    phase_ = WrapOnce(phase_ + dt);
    return y;
}

double Osc::Square(double hz) {
    const double dt = hz / kRate;
    const double half = WrapOnce(phase_ + 0.5);
    const double y = (phase_ < 0.5 ? 1.0 : -1.0) + Blep(phase_, dt) - Blep(half, dt);
    phase_ = WrapOnce(phase_ + dt);
    return y;
}

double Osc::Sine(double hz) {
    const double y = SineCycles(phase_);
    phase_ = WrapOnce(phase_ + hz / kRate);
    return y;
}

// ---------------------------------------------------------------------------------------------
// Drums and effects

void Kick(Mix& mix, std::int64_t at, double vel) {
    const std::int64_t n = Samples(0.42);
    const double pitchFall = dmath::DecayFactor(0.032, kRate);
    const double ampFall = dmath::DecayFactor(0.2, kRate);
    const double clickFall = dmath::DecayFactor(0.0025, kRate);
    Noise noise(0x4B1C4u);
    Svf click;
    click.Set(3000, 0.7);
    double pitchEnv = 1.0, amp = 1.0, clickEnv = 1.0, phase = 0.0;
    const Route route{};
    const Gains g = PanGains(0);
    for (std::int64_t i = 0; i < n; ++i) {
        const double hz = 44.0 + 125.0 * pitchEnv;
        const double attack = i < 40 ? i / 40.0 : 1.0;
        const double body = SineCycles(phase) * amp * attack;
        const double tick = click.Run(noise.Next()).band * clickEnv * 0.5;
        const double y = dmath::SoftClip(1.6 * body + tick) * vel * 0.62 * Tail(i, n, 400);
        PutMono(mix, at + i, y, route, g);
        phase = Wrap(phase + hz / kRate);
        pitchEnv *= pitchFall;
        amp *= ampFall;
        clickEnv *= clickFall;
    }
    // Side-chain: the ducked bus dips under each kick and comes back over about 0.2 s.
    const std::int64_t duckLength = Samples(0.3);
    const double recover = dmath::DecayFactor(0.07, kRate);
    double depth = 0.6 * std::min(vel, 1.0);
    for (std::int64_t i = 0; i < duckLength; ++i) {
        const std::int64_t j = at + i;
        if (j < 0 || j >= static_cast<std::int64_t>(mix.size())) continue;
        const double attack = i < 130 ? i / 130.0 : 1.0;
        const double level = 1.0 - depth * attack;
        mix.duck[j] = std::min(mix.duck[j], level);
        if (i >= 130) depth *= recover;
    }
}

void Snare(Mix& mix, std::int64_t at, double vel, double reverb) {
    const std::int64_t n = Samples(0.35);
    const double toneFall = dmath::DecayFactor(0.045, kRate);
    const double noiseFall = dmath::DecayFactor(0.11, kRate);
    const double pitchFall = dmath::DecayFactor(0.015, kRate);
    Noise noise(0x5A4Eu + static_cast<std::uint32_t>(at));
    Svf band, high;
    band.Set(2400, 0.8);
    high.Set(900, 0.7);
    double toneEnv = 1.0, noiseEnv = 1.0, pitchEnv = 1.0, phase = 0.0;
    const Route route{0, reverb, 0, false};
    const Gains g = PanGains(0.05);
    for (std::int64_t i = 0; i < n; ++i) {
        const double hz = 185.0 + 70.0 * pitchEnv;
        const double tone = SineCycles(phase) * toneEnv * 0.55;
        const double x = noise.Next();
        const double rattle = (0.8 * band.Run(x).band + 0.45 * high.Run(x).high) * noiseEnv;
        const double y = dmath::SoftClip(1.3 * (tone + rattle)) * vel * 0.42 * Tail(i, n, 300);
        PutMono(mix, at + i, y, route, g);
        phase = Wrap(phase + hz / kRate);
        toneEnv *= toneFall;
        noiseEnv *= noiseFall;
        pitchEnv *= pitchFall;
    }
}

void Clap(Mix& mix, std::int64_t at, double vel) {
    const std::int64_t n = Samples(0.3);
    const std::int64_t burst = Samples(0.0105);
    const double burstFall = dmath::DecayFactor(0.0035, kRate);
    const double tailFall = dmath::DecayFactor(0.075, kRate);
    Noise left(0xC1A9u), right(0xC1AAu);
    Svf fl, fr;
    fl.Set(1150, 1.3);
    fr.Set(1250, 1.3);
    double env = 1.0;
    const Route route{0, 0.3, 0, false};
    for (std::int64_t i = 0; i < n; ++i) {
        if (i < 3 * burst && i % burst == 0) env = 1.0;
        const double l = fl.Run(left.Next()).band;
        const double r = fr.Run(right.Next()).band;
        const double level = env * vel * 0.55 * Tail(i, n, 300);
        Put(mix, at + i, l * level, r * level, route);
        env *= i < 3 * burst ? burstFall : tailFall;
    }
}

void Hat(Mix& mix, std::int64_t at, double vel, bool open, double pan) {
    const double decay = open ? 0.16 : 0.028;
    const std::int64_t n = Samples(open ? 0.5 : 0.1);
    const double fall = dmath::DecayFactor(decay, kRate);
    static constexpr double kPartials[6] = {348.0, 517.5, 628.3, 888.6, 918.0, 1360.0};
    Osc osc[6] = {Osc(0.1), Osc(0.7), Osc(0.3), Osc(0.9), Osc(0.5), Osc(0.2)};
    Noise noise(0x4A7u);
    Svf high, high2;
    high.Set(6000, 0.9);
    high2.Set(4500, 0.7);
    double env = 1.0;
    const Route route{pan, 0.08, 0, false};
    const Gains g = PanGains(pan);
    for (std::int64_t i = 0; i < n; ++i) {
        double metal = 0;
        for (int k = 0; k < 6; ++k) metal += osc[k].Square(kPartials[k]);
        const double x = high2.Run(high.Run(0.35 * metal / 6 + 0.6 * noise.Next()).high).high;
        PutMono(mix, at + i, x * env * vel * 0.6 * Tail(i, n, 200), route, g);
        env *= fall;
    }
}

namespace {

// The crash's sound, sample i of n, forwards; noise generators and filter per side.
struct CrashVoice {
    Noise left{0xC4A5u}, right{0xC4A6u};
    Osc osc[4] = {Osc(0.2), Osc(0.6), Osc(0.4), Osc(0.8)};
    Svf fl, fr;
    CrashVoice() {
        fl.Set(4200, 0.8);
        fr.Set(4600, 0.8);
    }
    void Next(double& l, double& r) {
        static constexpr double kPartials[4] = {431.0, 587.3, 813.9, 1187.0};
        double metal = 0;
        for (int k = 0; k < 4; ++k) metal += osc[k].Square(kPartials[k]);
        metal *= 0.06;
        l = fl.Run(left.Next() + metal).high;
        r = fr.Run(right.Next() + metal).high;
    }
};

}  // namespace

void Crash(Mix& mix, std::int64_t at, double vel) {
    const std::int64_t n = Samples(4.5);
    const double fall = dmath::DecayFactor(0.75, kRate);
    CrashVoice voice;
    double env = 1.0;
    const Route route{0, 0.25, 0, false};
    for (std::int64_t i = 0; i < n; ++i) {
        double l, r;
        voice.Next(l, r);
        const double attack = i < 30 ? i / 30.0 : 1.0;
        const double level = env * attack * vel * 0.2 * Tail(i, n, 20000);
        Put(mix, at + i, l * level, r * level, route);
        env *= fall;
    }
}

void ReverseCrash(Mix& mix, std::int64_t end, std::int64_t length, double vel) {
    const double fall = dmath::DecayFactor(0.55, kRate);
    CrashVoice voice;
    double env = 1.0;
    const Route route{0, 0.3, 0, false};
    // Walk from the end backwards: the level at distance i before the end is fall^i.
    for (std::int64_t i = 1; i <= length; ++i) {
        double l, r;
        voice.Next(l, r);
        const double level = env * vel * 0.16 * Tail(i, length, 2000);
        Put(mix, end - i, l * level, r * level, route);
        env *= fall;
    }
}

void Tom(Mix& mix, std::int64_t at, double note, double vel, double pan) {
    const std::int64_t n = Samples(0.45);
    const double hz = dmath::NoteHz(note);
    const double pitchFall = dmath::DecayFactor(0.05, kRate);
    const double ampFall = dmath::DecayFactor(0.17, kRate);
    double pitchEnv = 1.0, amp = 1.0, phase = 0.0;
    const Route route{pan, 0.2, 0, false};
    const Gains g = PanGains(pan);
    for (std::int64_t i = 0; i < n; ++i) {
        const double attack = i < 60 ? i / 60.0 : 1.0;
        const double y = dmath::SoftClip(1.4 * SineCycles(phase) * amp * attack);
        PutMono(mix, at + i, y * vel * 0.4 * Tail(i, n, 300), route, g);
        phase = Wrap(phase + hz * (1.0 + 0.7 * pitchEnv) / kRate);
        pitchEnv *= pitchFall;
        amp *= ampFall;
    }
}

void Impact(Mix& mix, std::int64_t at, double vel) {
    const std::int64_t n = Samples(2.6);
    const double pitchFall = dmath::DecayFactor(0.35, kRate);
    const double ampFall = dmath::DecayFactor(0.8, kRate);
    const double thumpFall = dmath::DecayFactor(0.06, kRate);
    Noise noise(0x1A9Au);
    Svf low;
    low.Set(220, 0.9);
    double pitchEnv = 1.0, amp = 1.0, thump = 1.0, phase = 0.0;
    const Route route{0, 0.3, 0, false};
    const Gains g = PanGains(0);
    for (std::int64_t i = 0; i < n; ++i) {
        const double attack = i < 80 ? i / 80.0 : 1.0;
        const double body = SineCycles(phase) * amp * attack;
        const double y = body + 1.6 * low.Run(noise.Next()).low * thump;
        PutMono(mix, at + i, dmath::SoftClip(1.2 * y) * vel * 0.5 * Tail(i, n, 6000), route, g);
        phase = Wrap(phase + (30.0 + 55.0 * pitchEnv) / kRate);
        pitchEnv *= pitchFall;
        amp *= ampFall;
        thump *= thumpFall;
    }
}

void Riser(Mix& mix, std::int64_t at, std::int64_t length, double vel) {
    Noise left(0x715Eu), right(0x7160u);
    Svf fl, fr, fs;
    Osc saw(0.0), saw2(0.5);
    const Route route{0, 0.35, 0.2, false};
    double hz = 0;
    for (std::int64_t i = 0; i < length; ++i) {
        const double x = static_cast<double>(i) / length;
        if (i % 32 == 0) {
            const double cutoff = 250.0 * dmath::Pow2(5.5 * x);
            fl.Set(cutoff, 2.2);
            fr.Set(cutoff * 1.06, 2.2);
            fs.Set(cutoff * 1.5, 1.0);
            hz = dmath::NoteHz(40.0 + 36.0 * x);
        }
        const double level = x * x * vel * 0.22;
        const double sweep = fs.Run(saw.Saw(hz) + saw2.Saw(hz * 1.006)).low * 0.25;
        const double l = fl.Run(left.Next()).band + sweep;
        const double r = fr.Run(right.Next()).band + sweep;
        Put(mix, at + i, l * level, r * level, route);
    }
}

void Crackle(Mix& mix, std::int64_t at, std::int64_t length, double vel, std::uint32_t seed) {
    Noise noise(seed), roarNoise(seed ^ 0x5555u);
    Svf pop, roar;
    pop.Set(3200, 2.5);
    roar.Set(380, 0.8);
    const double popFall = dmath::DecayFactor(0.0015, kRate);
    const double swellStep = dmath::kTwoPi * 0.37 / kRate;
    double popEnv = 0, popPan = 0;
    const Route route{0, 0.15, 0, false};
    for (std::int64_t i = 0; i < length; ++i) {
        // About 28 crackles a second at random times, each at a random place in the field.
        if (noise.Unit() < 28.0 / kRate) {
            popEnv = 0.4 + 0.6 * noise.Unit();
            popPan = noise.Next() * 0.8;
        }
        const double p = pop.Run(noise.Next()).band * popEnv;
        const double swell = 0.7 + 0.3 * SineCycles(swellStep * i / dmath::kTwoPi);
        const double rumble = roar.Run(roarNoise.Next()).low * swell * 0.6;
        const double fade = Tail(i, length, 8000) * (i < 8000 ? i / 8000.0 : 1.0);
        const Gains g = PanGains(popPan);
        const double level = vel * 0.3 * fade;
        Put(mix, at + i, (p * g.l + rumble) * level, (p * g.r + rumble) * level, route);
        popEnv *= popFall;
    }
}

// ---------------------------------------------------------------------------------------------
// Pitched voices

void Bass(Mix& mix, std::int64_t at, std::int64_t length, double note, double vel,
          const BassTone& tone) {
    const std::int64_t release = Samples(0.03);
    const std::int64_t n = length + release;
    const double hz = dmath::NoteHz(note);
    const double envFall = dmath::DecayFactor(tone.envDecay, kRate);
    const double releaseFall = dmath::DecayFactor(0.008, kRate);
    Osc saw(0.0), sub(0.25);
    Svf filter;
    double env = 1.0, amp = 1.0;
    const Route route{};
    const Gains g = PanGains(0);
    for (std::int64_t i = 0; i < n; ++i) {
        if (i % 16 == 0) {
            double cutoff = tone.cutoff + tone.envAmount * env;
            if (tone.wobbleHz > 0) {
                const double lfo = 0.5 - 0.5 * SineCycles(tone.wobbleHz * i / kRate + 0.25);
                cutoff = cutoff * dmath::Pow2(tone.wobbleOctaves * lfo);
            }
            filter.Set(cutoff, tone.q);
        }
        const double attack = i < 90 ? i / 90.0 : 1.0;
        const double x = filter.Run(saw.Saw(hz)).low + 0.55 * sub.Sine(hz);
        const double y = dmath::SoftClip(tone.drive * x) * attack * amp;
        PutMono(mix, at + i, y * vel * tone.level * Tail(i, n, 100), route, g);
        env *= envFall;
        if (i >= length) amp *= releaseFall;
    }
}

void Pluck(Mix& mix, std::int64_t at, double note, double vel, const PluckTone& tone, double pan) {
    const std::int64_t n = Samples(std::min(5.0 * tone.ampDecay, 2.0));
    const double hz = dmath::NoteHz(note);
    const double envFall = dmath::DecayFactor(tone.envDecay, kRate);
    const double ampFall = dmath::DecayFactor(tone.ampDecay, kRate);
    Osc saw(0.0), square(0.37);
    Svf filter;
    double env = 1.0, amp = 1.0;
    Route route = tone.route;
    route.pan = pan;
    const Gains g = PanGains(pan);
    for (std::int64_t i = 0; i < n; ++i) {
        if (i % 16 == 0) filter.Set(tone.cutoff + tone.envAmount * env, 1.2);
        const double attack = i < 30 ? i / 30.0 : 1.0;
        const double x = filter.Run(saw.Saw(hz) + 0.5 * square.Square(hz * 1.004)).low;
        PutMono(mix, at + i, x * amp * attack * vel * tone.level * Tail(i, n, 300), route, g);
        env *= envFall;
        amp *= ampFall;
    }
}

void Pad(Mix& mix, std::int64_t at, std::int64_t length, const std::vector<int>& notes, double vel,
         const PadTone& tone, std::uint32_t seed) {
    const std::int64_t attack = Samples(tone.attack);
    const std::int64_t n = length + Samples(tone.release * 5);
    const double releaseFall = dmath::DecayFactor(tone.release, kRate);
    static constexpr double kDetune[3] = {-0.11, 0.0, 0.12};  // semitones
    static constexpr double kPan[3] = {-0.7, 0.0, 0.7};
    Noise noise(seed);
    std::vector<Osc> oscs;
    std::vector<double> hz;
    std::vector<Gains> gains;
    for (int note : notes) {
        for (int v = 0; v < 3; ++v) {
            oscs.emplace_back(noise.Unit());
            hz.push_back(dmath::NoteHz(note + kDetune[v]));
            gains.push_back(PanGains(kPan[v]));
        }
    }
    Svf fl, fr;
    fl.Set(tone.cutoff, 0.8);
    fr.Set(tone.cutoff, 0.8);
    const Route route{0, tone.reverb, 0, true};
    double amp = 1.0;
    for (std::int64_t i = 0; i < n; ++i) {
        double l = 0, r = 0;
        for (std::size_t k = 0; k < oscs.size(); ++k) {
            const double s = oscs[k].Saw(hz[k]);
            l += s * gains[k].l;
            r += s * gains[k].r;
        }
        const double rise = i < attack ? static_cast<double>(i) / attack : 1.0;
        const double level = rise * amp * vel * tone.level * Tail(i, n, 2000);
        Put(mix, at + i, fl.Run(l).low * level, fr.Run(r).low * level, route);
        if (i >= length) amp *= releaseFall;
    }
}

void Lead(Mix& mix, std::int64_t at, std::int64_t length, double note, double vel,
          const LeadTone& tone) {
    const std::int64_t release = Samples(0.14);
    const std::int64_t n = length + 5 * release;
    const double releaseFall = dmath::DecayFactor(0.14, kRate);
    const double brightFall = dmath::DecayFactor(0.12, kRate);
    const std::int64_t vibratoStart = Samples(0.16);
    Osc a(0.0), b(0.41), sub(0.77);
    Svf filter;
    double amp = 1.0, bright = 1.0, hz = 0.0;
    const Gains g = PanGains(tone.route.pan);
    for (std::int64_t i = 0; i < n; ++i) {
        if (i % 16 == 0) {
            double depth = 0;
            if (i > vibratoStart) {
                depth = std::min(1.0, static_cast<double>(i - vibratoStart) / Samples(0.3));
            }
            const double vib = tone.vibrato * depth * SineCycles(5.6 * i / kRate);
            hz = dmath::NoteHz(note + vib);
            filter.Set(tone.cutoff * (1.0 + 1.6 * bright), 1.1);
        }
        const double attack = i < 260 ? i / 260.0 : 1.0;
        const double x = a.Saw(hz * 0.996) + b.Saw(hz * 1.004) + 0.6 * sub.Square(hz * 0.5);
        const double y = dmath::SoftClip(tone.drive * filter.Run(x * 0.45).low);
        PutMono(mix, at + i, y * attack * amp * vel * tone.level * Tail(i, n, 300), tone.route, g);
        bright *= brightFall;
        if (i >= length) amp *= releaseFall;
    }
}

void Bell(Mix& mix, std::int64_t at, double note, double vel, double pan) {
    const std::int64_t n = Samples(2.5);
    const double hz = dmath::NoteHz(note);
    const double ampFall = dmath::DecayFactor(0.65, kRate);
    const double indexFall = dmath::DecayFactor(0.35, kRate);
    double amp = 1.0, index = 1.6, carrier = 0, modulator = 0;
    const Route route{pan, 0.35, 0.35, true};
    const Gains g = PanGains(pan);
    for (std::int64_t i = 0; i < n; ++i) {
        const double m = SineCycles(modulator) * index;
        const double attack = i < 50 ? i / 50.0 : 1.0;
        const double y = SineCycles(carrier + m) * amp * attack;
        PutMono(mix, at + i, y * vel * 0.17 * Tail(i, n, 2000), route, g);
        carrier = Wrap(carrier + hz / kRate);
        modulator = Wrap(modulator + 3.5 * hz / kRate);
        amp *= ampFall;
        index *= indexFall;
    }
}

// ---------------------------------------------------------------------------------------------
// Effects

Stereo PingPong(const Stereo& send, std::int64_t delay, double feedback) {
    const std::size_t n = send.size();
    Stereo line(n), wet(n);
    double dampL = 0, dampR = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double yl = i >= static_cast<std::size_t>(delay) ? line.l[i - delay] : 0.0;
        const double yr = i >= static_cast<std::size_t>(delay) ? line.r[i - delay] : 0.0;
        dampL = dampL + 0.35 * (yl - dampL);
        dampR = dampR + 0.35 * (yr - dampR);
        // The left input starts on the left; each repeat crosses to the other side.
        line.l[i] = send.l[i] + feedback * dampR;
        line.r[i] = send.r[i] + feedback * dampL;
        wet.l[i] = yl;
        wet.r[i] = yr;
    }
    return wet;
}

namespace {

class Comb {
  public:
    explicit Comb(int size) : buffer_(size) {}
    double Run(double x, double feedback, double damping) {
        const double y = buffer_[at_];
        store_ = y * (1.0 - damping) + store_ * damping;
        buffer_[at_] = x + store_ * feedback;
        at_ = at_ + 1 == buffer_.size() ? 0 : at_ + 1;
        return y;
    }

  private:
    std::vector<double> buffer_;
    std::size_t at_ = 0;
    double store_ = 0;
};

class AllPass {
  public:
    explicit AllPass(int size) : buffer_(size) {}
    double Run(double x) {
        const double b = buffer_[at_];
        buffer_[at_] = x + b * 0.5;
        at_ = at_ + 1 == buffer_.size() ? 0 : at_ + 1;
        return b - x;
    }

  private:
    std::vector<double> buffer_;
    std::size_t at_ = 0;
};

}  // namespace

Stereo Room(const std::vector<double>& send, double roomSize, double damping) {
    static constexpr int kCombs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static constexpr int kAllPasses[4] = {556, 441, 341, 225};
    constexpr int kSpread = 23;
    std::vector<Comb> combL, combR;
    std::vector<AllPass> passL, passR;
    for (int size : kCombs) {
        combL.emplace_back(size);
        combR.emplace_back(size + kSpread);
    }
    for (int size : kAllPasses) {
        passL.emplace_back(size);
        passR.emplace_back(size + kSpread);
    }
    Stereo out(send.size());
    for (std::size_t i = 0; i < send.size(); ++i) {
        const double x = send[i] * 0.045;
        double l = 0, r = 0;
        for (int k = 0; k < 8; ++k) {
            l += combL[k].Run(x, roomSize, damping);
            r += combR[k].Run(x, roomSize, damping);
        }
        for (int k = 0; k < 4; ++k) {
            l = passL[k].Run(l);
            r = passR[k].Run(r);
        }
        out.l[i] = l;
        out.r[i] = r;
    }
    return out;
}

double Limit(Stereo& sound, double ceiling, int window, double releaseSeconds) {
    const std::size_t n = sound.size();
    // Gain each sample needs on its own.
    std::vector<double> need(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double peak = std::max(std::abs(sound.l[i]), std::abs(sound.r[i]));
        need[i] = peak > ceiling ? ceiling / peak : 1.0;
    }
    // Minimum over [i - window, i + window] (monotonic queue of indices).
    const auto w = static_cast<std::size_t>(window);
    std::vector<double> least(n);
    std::deque<std::size_t> queue;
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        for (; next < n && next <= i + w; ++next) {
            while (!queue.empty() && need[queue.back()] >= need[next]) queue.pop_back();
            queue.push_back(next);
        }
        while (queue.front() + w < i) queue.pop_front();
        least[i] = need[queue.front()];
    }
    // Averaging over the same span keeps the gain at or below what every sample needs, since
    // each minimum averaged for sample i has sample i in its own span.
    std::vector<double> smooth(n);
    double sum = 0;
    const std::size_t span = 2 * w + 1;
    for (std::size_t i = 0; i < n + w; ++i) {
        sum += i < n ? least[i] : 1.0;
        if (i >= span) sum -= i - span < n ? least[i - span] : 1.0;
        if (i >= w) {
            const std::size_t at = i - w;
            // Positions before the start and past the end count as needing no reduction.
            const std::size_t missing = at < w ? w - at : 0;
            smooth[at] = (sum + static_cast<double>(missing)) / span;
        }
    }
    // Slow release: the gain rises back towards 1 at a limited rate, never above `smooth`.
    const double rise = 1.0 - dmath::DecayFactor(releaseSeconds, kRate);
    double gain = 1.0, total = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        gain = gain + (1.0 - gain) * rise;
        gain = std::min(gain, smooth[i]);
        sound.l[i] *= gain;
        sound.r[i] *= gain;
        total += gain;
    }
    return n ? total / n : 1.0;
}

}  // namespace music
