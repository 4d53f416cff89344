// The full-screen pictures: opening, painting and glow, overlay, tree and the morph picture.
#include <cstdio>
#include <cstdlib>

#include "noise.h"
#include "pictures.h"
#include "style.h"

namespace art {

using namespace colour;

namespace {

const char* kTitleFont = "DejaVuSans-Bold.ttf";

// Sky from the top down to the horizon row, with soft streaks of cloud and stars.
void Sky(Canvas& c, float horizon, uint32_t seed, float stars) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const float t = Clamp01(float(y) / horizon);
            const float cloud = Fbm(float(x) / 90.0f, float(y) / 22.0f, 64, 5, 0.55f, seed);
            const float band = Smooth(0.1f, 0.45f, cloud) * Smooth(0.25f, 0.75f, t) * 0.35f;
            c.at(x, y) = Clamp01(Mix(DuskSky(t), Mix(kRose, kBlush, t), band));
        }
    }
    Random rnd(seed);
    const int count = int(stars * float(c.width) * horizon / 300.0f);
    for (int i = 0; i < count; ++i) {
        const int x = int(rnd.Unit() * float(c.width));
        const float ty = rnd.Unit();
        const int y = int(ty * ty * horizon * 0.7f);
        const float b = (0.3f + 0.7f * rnd.Unit() * rnd.Unit()) * (1.0f - ty);
        c.Blend(x, y, Mix(kIvory, kCyan, rnd.Unit()), b);
    }
}

// A ridge of hills: rows below `base` + noise take `colour`, with a faint lit edge.
void Hills(Canvas& c, float base, float amplitude, float scale, uint32_t seed, Rgb colour,
           Rgb edge) {
    for (int x = 0; x < c.width; ++x) {
        const float top =
            base - amplitude * (0.5f + 0.5f * Fbm(float(x) / scale, 0.5f, 64, 4, 0.5f, seed));
        for (int y = 0; y < c.height; ++y) {
            const float d = float(y) + 0.5f - top;
            if (d < -0.5f) continue;
            const float a = Clamp01(d + 0.5f);
            const Rgb col = Mix(edge, colour, Smooth(0.0f, 3.0f, d));
            c.Blend(x, y, col, a);
        }
    }
}

void Glow(Canvas& c, float cx, float cy, float radius, Rgb tint, float strength) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const float d = std::hypot(float(x) + 0.5f - cx, float(y) + 0.5f - cy) / radius;
            c.at(x, y) = Clamp01(c.at(x, y) + tint * (strength * std::exp(-d * d)));
        }
    }
}

void Title(Canvas& c, const char* text, float size, float tracking, float baseline) {
    Font font(kTitleFont);
    Mask letters(c.width, c.height);
    const float w = font.Measure(text, size, tracking);
    font.Draw(letters, text, size, (float(c.width) - w) / 2.0f, baseline, tracking);
    const float cap = font.CapHeight(size);
    PaintLettering(c, letters, Lettering{kGold, kRose, kNight, 2.0f}, int(baseline - cap),
                   int(baseline));
}

}  // namespace

std::vector<uint8_t> MakeOpening() {
    Canvas c(320, 240);
    Sky(c, 190.0f, 105, 1.0f);
    Glow(c, 160.0f, 175.0f, 90.0f, kRose, 0.35f);
    Hills(c, 180.0f, 26.0f, 70.0f, 15, Hex(0x2A1650), Hex(0x9A5AA0));
    Hills(c, 198.0f, 14.0f, 40.0f, 16, kNight, kViolet);
    // The crystal cluster rising from the hills.
    struct Prism {
        float x, angle, length, width;
        Rgb tint;
    };
    const Prism prisms[] = {
        {128, -0.55f, 62, 9, kViolet * 1.6f},
        {196, 0.5f, 70, 10, Hex(0xB07FE0)},
        {146, -0.22f, 104, 13, kRose},
        {178, 0.2f, 92, 12, kBlush},
        {160, 0.0f, 138, 17, kRose},
        {112, -0.85f, 40, 7, kPlum * 1.5f},
        {210, 0.9f, 44, 7, kRose},
    };
    for (const Prism& p : prisms)
        DrawCrystal(c, p.x, 204.0f, p.angle, p.length, p.width, p.tint, 0.35f);
    Title(c, "MORVANITE", 27.0f, 4.0f, 232.0f);
    return Encode8(c, 0.9f, false);
}

std::vector<uint8_t> MakePainting() {
    // A lake at dusk under a ring of crystals round a black hole, the way through to the glow.
    Canvas c(320, 240);
    Sky(c, 170.0f, 112, 0.6f);
    Hills(c, 160.0f, 30.0f, 60.0f, 21, Hex(0x3A2060), Hex(0xC070A0));
    Glow(c, 160.0f, 120.0f, 70.0f, kRose, 0.55f);
    // The ring of crystals, pointing outwards.
    Random rnd(112);
    for (int i = 0; i < 16; ++i) {
        const float a = float(i) * 0.3926991f + rnd.Range(-0.08f, 0.08f);
        const float len = rnd.Range(22.0f, 42.0f) * (i % 2 ? 0.75f : 1.0f);
        const Rgb tint = (i % 3 == 0) ? kBlush : (i % 3 == 1) ? kRose : Hex(0xB07FE0);
        DrawCrystal(c, 160.0f + std::sin(a) * 36.0f, 120.0f - std::cos(a) * 36.0f, a, len,
                    rnd.Range(5.0f, 8.0f), tint, 0.4f);
    }
    // The gold rim and the hole, then the lake mirrors sky, ring and hole.
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const float r = std::hypot(float(x) + 0.5f - 160.0f, float(y) + 0.5f - 120.0f);
            if (r < 34.0f)
                c.at(x, y) = {};
            else if (r < 37.0f)
                c.at(x, y) = Mix(kGold, kIvory, 0.5f - (float(y) - 120.0f) / 80.0f);
        }
    }
    // The lake mirrors the sky, rippled and darker.
    for (int y = 172; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const float ripple =
                3.0f * std::sin(float(y) * 0.9f +
                                Fbm(float(x) / 30.0f, float(y) / 6.0f, 64, 3, 0.5f, 3) * 6.0f);
            const int sy = std::clamp(int(2 * 171 - y + int(ripple)), 0, 171);
            c.at(x, y) = Mix(c.at(x, sy), kIndigo, 0.35f + 0.3f * float(y - 172) / 68.0f);
        }
    }
    // Brush texture over everything, as a painting.
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const float b = Fbm(float(x) / 6.0f, float(y) / 2.5f, 256, 2, 0.5f, 9) * 0.045f;
            c.at(x, y) = Clamp01(c.at(x, y) + Rgb{b, b, b});
        }
    }
    // The hole stays pure black within radius 34; nothing outside it comes near black.
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const float r = std::hypot(float(x) + 0.5f - 160.0f, float(y) + 0.5f - 120.0f);
            Rgb& p = c.at(x, y);
            if (r < 34.0f)
                p = {};
            else
                p.b = std::max(p.b, 16.0f / 255.0f);
        }
    }
    return Encode24(c, true);
}

std::vector<uint8_t> MakeGlow() {
    // A bright glow: white core, gold, rose, with soft rays; nowhere dark.
    Canvas c(320, 240);
    ShadeSupersampled(c, 1, [&](float x, float y) {
        const float dx = x - 160.0f, dy = y - 120.0f;
        const float r = std::hypot(dx, dy);
        const float a = std::atan2(dy, dx);
        const float rays = 0.5f + 0.5f * Fbm(a * 4.0f / 6.2831853f * 8.0f, 0.0f, 32, 3, 0.6f, 136);
        const float t = r / 200.0f;
        static const Ramp ramp{{{0.0f, kIvory},
                                {0.12f, Hex(0xFFE8B0)},
                                {0.3f, kGold},
                                {0.55f, Hex(0xFF8FA8)},
                                {0.85f, Hex(0xC86AB8)},
                                {1.2f, Hex(0x8A4AB0)}}};
        Rgb col = ramp(t * (1.0f - 0.25f * rays));
        col = col + kIvory * (0.25f * std::exp(-r / 25.0f));
        return Clamp01(col);
    });
    return Encode8(c, 1.0f, false);
}

std::vector<uint8_t> MakeOverlay() {
    // The emblem in a halo with the title, meant to lie half and half over the star texture.
    Canvas c(320, 240);
    ShadeSupersampled(c, 1, [&](float x, float y) {
        const float r = std::hypot(x - 160.0f, y - 104.0f) / 220.0f;
        const float rays = 0.5f + 0.5f * std::sin(std::atan2(y - 104.0f, x - 160.0f) * 12.0f);
        return Mix(Mix(kPlum, kViolet, Clamp01(r * 1.6f)), kRose,
                   rays * 0.18f * (1.0f - Clamp01(r * 1.5f)));
    });
    Glow(c, 160.0f, 104.0f, 80.0f, kBlush, 0.45f);
    DrawGem(c, 160.0f, 100.0f, 66.0f);
    Title(c, "MORVANITE", 30.0f, 4.0f, 218.0f);
    return Encode8(c, 0.8f, false);
}

std::vector<uint8_t> MakeMorphPicture() {
    // The emblem and the name on pure black; every lit pixel flies in as a point.
    Canvas c(320, 240);
    Glow(c, 160.0f, 96.0f, 40.0f, kRose * 0.5f, 0.6f);
    for (auto& p : c.px) {
        if (Luma(p) < 0.06f) p = {};
    }
    DrawGem(c, 160.0f, 96.0f, 64.0f);
    Font font(kTitleFont);
    Mask letters(320, 240);
    const float size = 30.0f, tracking = 4.0f;
    font.Draw(letters, "MORVANITE", size,
              (320.0f - font.Measure("MORVANITE", size, tracking)) / 2.0f, 206.0f, tracking);
    PaintLettering(c, letters, Lettering{kGold, kRose, Rgb{}, 0.5f}, 184, 206);
    return Encode8(c, 0.0f, false);
}

std::vector<uint8_t> MakeTree() {
    // A bare tree against a calm dusk sky. The upper outline of its branches, in rows 17 to 117,
    // is drawn in the one colour of the bottom-right pixel, which nothing else in the picture
    // shares at 5-6-5 precision: the fire rises from those pixels.
    const Rgb8 key{200, 96, 56};
    Canvas c(320, 240);
    Sky(c, 205.0f, 104, 0.5f);
    // A thin crescent moon.
    for (int y = 10; y < 70; ++y) {
        for (int x = 232; x < 292; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float moon = -SdCircle(px, py, 264.0f, 36.0f, 11.0f);
            const float bite = SdCircle(px, py, 269.0f, 32.0f, 10.5f);
            const float a = Clamp01(std::min(moon, bite) + 0.5f);
            c.Blend(x, y, kIvory, a);
        }
    }
    Glow(c, 264.0f, 36.0f, 30.0f, kBlush, 0.12f);
    Hills(c, 212.0f, 18.0f, 80.0f, 41, Hex(0x241040), Hex(0x7A3A8C));
    Hills(c, 226.0f, 8.0f, 50.0f, 42, Hex(0x120828), Hex(0x3A1E5A));

    // Branches: tapered capsules grown from the trunk.
    std::vector<Limb> branches;
    Random rnd(3);
    struct Grow {
        static void Branch(std::vector<Limb>& out, Random& rnd, float x, float y, float angle,
                           float length, float radius, int depth) {
            const float ex = x + std::sin(angle) * length, ey = y - std::cos(angle) * length;
            out.push_back({x, y, ex, ey, radius, radius * 0.72f});
            // Nothing grows above the rows where flames can rise.
            if (ey < 17.0f) return;
            if (depth == 0) return;
            const int children = (depth == 5 || (depth > 2 && rnd.Unit() < 0.12f)) ? 3 : 2;
            for (int k = 0; k < children; ++k) {
                const float spread = rnd.Range(0.38f, 0.78f);
                const float side = children == 3 ? float(k - 1) : (k == 0 ? -1.0f : 1.0f);
                const float a = angle * 0.8f + side * spread + rnd.Range(-0.1f, 0.1f);
                Branch(out, rnd, ex, ey, a, length * rnd.Range(0.68f, 0.84f), radius * 0.7f,
                       depth - 1);
            }
        }
    };
    branches.push_back({158, 238, 160, 172, 11.0f, 8.0f});
    branches.push_back({158, 236, 140, 240, 5.0f, 2.0f});  // roots
    branches.push_back({160, 236, 182, 240, 5.0f, 2.0f});
    Grow::Branch(branches, rnd, 160, 172, 0.0f, 44.0f, 8.0f, 5);

    auto distance = [&](float x, float y) {
        float d = 1e9f;
        for (const Limb& l : branches)
            d = std::min(d, SdCapsuleTapered(x, y, l.ax, l.ay, l.bx, l.by, l.ra, l.rb));
        return d;
    };
    const Mask cover = CoverageOf(320, 240, 3, distance);
    Mask solid(320, 240);
    for (size_t i = 0; i < cover.v.size(); ++i) solid.v[i] = cover.v[i] >= 0.5f ? 1.0f : 0.0f;
    const Rgb bark = Hex(0x1A0C22);
    std::vector<uint8_t> outline(size_t(320) * 240, 0);
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const float a = cover.at(x, y);
            if (a <= 0) continue;
            if (solid.at(x, y) == 0) {
                c.Blend(x, y, bark, a);
                continue;
            }
            c.at(x, y) = Mix(bark, Hex(0x3A1E40), Clamp01(float(x - 150) / 120.0f));
            // The outline along the upper side of every branch, where the flames rise from: thin
            // enough that the branches stay visible through the fire.
            const bool edge = solid.get(x, y - 1) == 0;
            if (edge && y >= 17 && y <= 117) outline[size_t(y) * 320 + x] = 1;
        }
    }
    TrueColour out = ToTrueColour(c, true);
    // Nothing but the outline may share the key's 5-6-5 value: move such pixels one blue step.
    const uint16_t key565 = To565(key);
    int seeds = 0;
    for (size_t i = 0; i < outline.size(); ++i) {
        uint8_t* p = &out.rgb[i * 3];
        const bool last = i + 1 == outline.size();
        if (outline[i] || last) {
            p[0] = key.r, p[1] = key.g, p[2] = key.b;
            ++seeds;
        } else if (To565(Rgb8{p[0], p[1], p[2]}) == key565) {
            p[2] = uint8_t(p[2] >= 8 ? p[2] - 8 : p[2] + 8);
        }
    }
    if (std::getenv("MORVANITE_ART_VERBOSE")) std::fprintf(stderr, "104: %d seed pixels\n", seeds);
    return EncodeTga(out);
}

}  // namespace art
