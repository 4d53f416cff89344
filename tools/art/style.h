// The show's look: one palette of dusk indigo, morganite rose and gold, and the shapes drawn
// from it (the faceted gem emblem, crystal prisms, lettering with a dark rim, figures).
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "text.h"

namespace art {

namespace colour {
inline const Rgb kNight = Hex(0x0B0620);  // deepest indigo
inline const Rgb kIndigo = Hex(0x1D0F3F);
inline const Rgb kViolet = Hex(0x4B2A7A);
inline const Rgb kPlum = Hex(0x7A3A8C);
inline const Rgb kRose = Hex(0xE86A9A);  // morganite
inline const Rgb kBlush = Hex(0xF7B2C8);
inline const Rgb kGold = Hex(0xFFCF70);
inline const Rgb kAmber = Hex(0xFF9A3C);
inline const Rgb kCyan = Hex(0x8FE8FF);
inline const Rgb kIvory = Hex(0xFFF4E6);
}  // namespace colour

// The dusk sky from zenith (t = 0) to horizon (t = 1).
Rgb DuskSky(float t);

// Colour and coverage of the gem emblem at point (x, y): a hexagon with a flat table and twelve
// lit facets, circumradius r, centred at (cx, cy). Returns coverage 0..1 in `alpha`.
Rgb GemAt(float x, float y, float cx, float cy, float r, float& alpha);
// Pixel (x, y) of the gem sampled 4x4: the sum of the samples' colours weighted by their alpha,
// with `cover` the sum of the alphas (0 to 16).
Rgb GemCoverage(int x, int y, float cx, float cy, float r, float& cover);
// Draws the gem over a canvas, 4x4 sub-samples per pixel; with `hardEdge` a pixel is either the
// gem's (half covered or more) or left alone, never a blend.
void DrawGem(Canvas& c, float cx, float cy, float r, bool hardEdge = false);

// A hexagonal crystal prism from its base (bx, by) pointing along `angle` (radians, 0 = up),
// of the given length and half-width; `tint` is its body colour. Drawn with 3x3 sub-samples.
void DrawCrystal(Canvas& c, float bx, float by, float angle, float length, float halfWidth,
                 Rgb tint, float glow = 0.0f);

// Lettering in the show's manner: fill from `top` to `bottom` colour, a hard-edged dark rim of
// `rim` pixels, so that no pixel of the lettering blends into what lies outside the rim.
struct Lettering {
    Rgb top = colour::kGold, bottom = colour::kRose, rimColour = colour::kNight;
    float rim = 1.5f;
};
// The coverage of the rim (0 or 1) and of the letters (0..1) of a drawn mask.
Mask RimOf(const Mask& letters, float rim);
// Paints letters with their rim over the canvas; pixels outside the rim are left alone.
void PaintLettering(Canvas& c, const Mask& letters, const Lettering& style, int top, int bottom);

// A body made of round limbs, lit from the upper left like a glazed figurine.
struct Limb {
    float ax, ay, bx, by, ra, rb;
};
struct FigureStyle {
    Rgb dark = colour::kIndigo, body = colour::kViolet, light = colour::kBlush,
        rimLight = colour::kGold;
    float blend = 3.0f;  // smoothness of the joins
};
// Signed distance of the union of the limbs.
float FigureDistance(const std::vector<Limb>& limbs, float blend, float x, float y);
// Paints the figure over the canvas; the edge is hard (no blending with what lies outside)
// when `hardEdge` is set. Returns the covered pixels as a 0/1 mask.
Mask PaintFigure(Canvas& c, const std::vector<Limb>& limbs, const FigureStyle& style,
                 bool hardEdge);

}  // namespace art
