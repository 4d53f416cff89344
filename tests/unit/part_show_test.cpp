// The tunnel and ring parts on the headless display, one case a part: each loads its part on
// made-up pictures, renders and presents frames as the show does, and compares chosen pixels with
// values worked out from the parts' descriptions, not from their code. Where a value needs the
// tables or patterns a part draws from millions of points, those were drawn apart in Python (double
// precision; single-precision roundings emulated where the description stores a float) and the
// indices they give are stated next to the value.
#include <vector>

#include "image/image.h"
#include "image/numeric.h"
#include "part_show_support.h"
#include "parts/lobed_tunnel.h"
#include "parts/morph_tunnel.h"
#include "parts/ray_tunnel.h"
#include "parts/ring_interference.h"

namespace {

using namespace show_support;

// Rand() is seeded with this before Load.
constexpr uint32_t kSeed = 4242;

struct Picture {
    int32_t id, width, height;
    Bgr (*pixel)(int x, int y);
};

struct Pixel {
    int frame, x, y;
    uint16_t value;
};

struct ShowCase {
    const char* name;
    Parte* part;
    Image* const* frame;  // the part's composed frame
    std::vector<Picture> pictures;
    deciseconds (*time)(int frame);  // t of Render and Present of frame n (from 1)
    int failingLock;                 // the frame whose Present finds the lock of back failing
    std::vector<Pixel> pixels;       // in frame order
};

// 24-bit TGA pixels; To565 of (b, g, r) is (r >> 3) << 11 | (g >> 2) << 5 | b >> 3.
// Lobed tunnel wall: column x, row y is (b 3x mod 256, g y, r x + y mod 256).
Bgr LobedWall(int x, int y) {
    return Bgr{uint8_t(x * 3), uint8_t(y), uint8_t(x + y)};
}

// An "F" on black, (b 30, g 100 + y, r 240): no symmetry, so a flipped or shifted picture shows.
// Its top-left pixel (20, 10) is 0xF363 (30 << 11 | 27 << 5 | 3).
Bgr LobedFigure(int x, int y) {
    const bool stem = x >= 20 && x < 40 && y >= 10 && y < 140;
    const bool top = x >= 20 && x < 150 && y >= 10 && y < 30;
    const bool middle = x >= 20 && x < 110 && y >= 60 && y < 80;
    return (stem || top || middle) ? Bgr{30, uint8_t(100 + y), 240} : Bgr{0, 0, 0};
}

// Morph tunnel wall: column x, row y is (b x, g y, r x xor y).
Bgr MorphWall(int x, int y) {
    return Bgr{uint8_t(x), uint8_t(y), uint8_t(x ^ y)};
}

// A 40x30 block at (100, 50) shaded (b 8(x - 100), g 200, r 8(y - 50) + 10), and a white diagonal
// x = y: 1440 non-black pixels; in row-major order point 0 is (0, 0) and point 240 is (125, 54).
Bgr MorphPicture(int x, int y) {
    if (x >= 100 && x < 140 && y >= 50 && y < 80) {
        return Bgr{uint8_t(8 * (x - 100)), 200, uint8_t(8 * (y - 50) + 10)};
    }
    if (x == y) return Bgr{255, 255, 255};
    return Bgr{0, 0, 0};
}

// Ray tunnel wall: texel (u, v) is (b u, g 255 - v, r 200).
Bgr RayWall(int u, int v) {
    return Bgr{uint8_t(u), uint8_t(255 - v), 200};
}

// Ring strips and figure: the key 0xF81F (magenta) down the two left columns and along the top
// row, one colour elsewhere.
template <uint8_t B, uint8_t G, uint8_t R>
Bgr Keyed(int x, int y) {
    return (x < 2 || y == 0) ? Bgr{255, 0, 255} : Bgr{B, G, R};
}

// BlitSprite mixes channel c as cd + floor((cs - cd + 64) * L / 256) - floor(L / 4). Ring values:
// 287 = (0, 8, 31), 574 = (0, 17, 30), 65249 = (31, 55, 1) as (r, g, b).
const ShowCase kCases[] = {
    {"LobedTunnel",
     &lobedTunnelPart,
     &lobedTunnelPart.frame,
     {{128, 256, 256, LobedWall}, {134, 200, 154, LobedFigure}},
     [](int) { return deciseconds{600}; },
     1,
     // Frame n scrolls depth by n and angle by 6n: pixel = wall column (depth + n), row (angle
     // + 6n). The shake draws dy then dx as rand() * 5 / 32767: from seed 4242, 2 then 3 for
     // frame 1, 1 then 1 for frame 2, so the F's corner lands at (83, 62), then (81, 61).
     {
         // (0, 0): angle 200, depth 250 -> row 206, column 251 -> (b 241, g 206, r 201).
         {1, 0, 0, 0xCE7E},
         // (319, 239): angle 73, depth 150 -> row 79, column 151 -> (b 197, g 79, r 230).
         {1, 319, 239, 0xE278},
         {1, 83, 62, 0xF363},
         // Left of and above the corner, the wall: (82, 62): angle 201, depth 147 -> row 207,
         // column 148 -> (b 188, g 207, r 99); (83, 61): angle 196, depth 147 -> row 202,
         // column 148 -> (b 188, g 202, r 94).
         {1, 82, 62, 0x6677},
         {1, 83, 61, 0x5E57},
         // (0, 0) in frame 2: row 212, column 252 -> (b 244, g 212, r 208).
         {2, 0, 0, 0xD6BE},
         {2, 81, 61, 0xF363},
         // (80, 61): angle 202, depth 149 -> row 214, column 151 -> (b 197, g 214, r 109).
         {2, 80, 61, 0x6EB8},
         // (161, 131) is the figure's black (100, 80): angle 216, depth 29 -> row 228, column
         // 31 -> (b 93, g 228, r 3).
         {2, 161, 131, 0x072B},
     }},
    {"MorphTunnel",
     &morphTunnelPart,
     &morphTunnelPart.frame,
     {{109, 256, 256, MorphWall}, {147, 320, 240, MorphPicture}},
     // Local time 0 to 33 for the 201 frames of the morph, then 80 and 81 and on.
     [](int n) { return deciseconds(n <= 201 ? 420 + n / 6 : 298 + n); },
     202,
     // Frame n scrolls both indices by 2n: pixel = wall column (angle + 2n), row (depth + 2n),
     // with (angle, depth) at (0, 0): (203, 15); (200, 150): (204, 64); (100, 60): (192, 37).
     {
         // Frame 1: the wall at (0, 0), column 205, row 17 -> (b 205, g 17, r 220); point 0
         // starts at (135, 161) (from seed 4242: x = r1 * 319 / 32767, y = r2 * 239 / 32767)
         // and is one step of (-135, -161) / 200 on, white; point 240 starts at (303, 49) and
         // shows its target's colour (b 200, g 200, r 42) at once.
         {1, 0, 0, 0xD899},
         {1, 134, 160, 0xFFFF},
         {1, 302, 49, 0x2E59},
         // Frame 201 adopts the target: the picture exactly, the wall through its black.
         // (100, 60) is (b 0, g 200, r 90); (200, 150): column 94, row 210 -> (b 94, g 210,
         // r 140).
         {201, 100, 60, 0x5E40},
         {201, 0, 0, 0xFFFF},
         {201, 200, 150, 0x8E8B},
         // Local time 80: the sprite at level 255 is the picture exactly.
         {202, 100, 60, 0x5E40},
         // Local time 81: level 252. (0, 0): white over column 97, row 165 (r 24, g 41, b 12):
         // r 24 + 71 * 252 / 256 - 63 = 30, g 41 + 84 - 63 = 62, b 12 + 81 - 63 = 30.
         {203, 0, 0, 0xF7DE},
         // Level 3 from frame 286 (84 steps of 3) and no lower: (100, 60) (r 11, g 50, b 0) over
         // column 252, row 97 (r 19, g 24, b 31), then column 254, row 99 (the same texel):
         // r 19 + 56 * 3 / 256 = 19, g 24 + 90 * 3 / 256 = 25, b 31 + 33 * 3 / 256 = 31.
         {286, 100, 60, 0x9B3F},
         {287, 100, 60, 0x9B3F},
         // (0, 0), frame 287: white over column 9, row 77 (r 8, g 19, b 1): r 8 + 87 * 3 / 256
         // = 9, g 19 + 108 * 3 / 256 = 20, b 1 + 94 * 3 / 256 = 2.
         {287, 0, 0, 0x4A82},
     }},
    {"RayTunnel",
     &rayTunnelPart,
     &rayTunnelPart.frame,
     {{109, 256, 256, RayWall}},
     [](int n) { return deciseconds(679 + n); },
     1,
     // One ray per 2x2 block. Texel (u, v), then each channel lowered by |k| in its field, k =
     // trunc(Hz * 0.0002). Frame 2 is rendered with n = 1 although the lock of frame 1 failed:
     // the eye has risen to 3000 sin(0.02) and the texture has scrolled by one.
     {
         // Frame 1, block (0, 0): u 52, v 223, k -1: (b 52, g 32, r 200) = 0xC906, shaded.
         {1, 0, 0, 0xC0C5},
         {1, 1, 1, 0xC0C5},
         // The centre block looks far down the tunnel: k -114 darkens it to black.
         {1, 160, 120, 0x0000},
         // (100, 50): u 71, v 184, k -2.
         {1, 100, 50, 0xB9A6},
         // (250, 30): u 192, v 206, k -1.
         {1, 250, 30, 0xC157},
         // Frame 2: (0, 0): u 55, v 224, k -1; (100, 50): u 74, v 186, k -2; (250, 30): u 194,
         // v 209, k -1.
         {2, 0, 0, 0xC0A5},
         {2, 100, 50, 0xB9A7},
         {2, 250, 30, 0xC137},
     }},
    {"RingInterference",
     &ringInterferencePart,
     &ringInterferencePart.frame,
     {{131, 256, 25, Keyed<0, 255, 0>},
      {132, 172, 24, Keyed<255, 0, 0>},
      {133, 264, 24, Keyed<0, 0, 255>},
      {107, 92, 150, Keyed<40, 80, 250>}},
     [](int n) { return deciseconds(520 + 21 * (n - 1)); },
     0,
     {
         // Frame 1: window A at (323, 242), B at (46, 199); row 0 divides at column 154. Ring
         // pixels A, B: (0, 0) 287, 287 -> 574; (13, 0) 0, 287 -> 287; (156, 0) 0, 287 ->
         // 0 - 287 = 65249; (208, 0) 287, 287 -> 0.
         {1, 0, 0, 574},
         {1, 13, 0, 287},
         {1, 156, 0, 65249},
         {1, 208, 0, 0},
         // The figure's top 73 rows from (227, 167) to (319, 240), its key row and columns
         // left out: (b 40, g 80, r 250) = 0xFA85 from (229, 168) to column 318.
         {1, 229, 168, 0xFA85},
         {1, 228, 168, 65249},
         {1, 229, 167, 65249},
         {1, 318, 200, 0xFA85},
         {1, 319, 200, 0},
         // Local time 21. Strip 1 (green, (0, 63, 0)) at (31, 61), level trunc(255 sin(pi / 30))
         // = 26: over 287, g 8 + 119 * 26 / 256 - 6 = 14, b 31 + 33 * 26 / 256 - 6 = 28; over
         // 65249, r 31 + 3 - 6 = 28, g 55 + 7 - 6 = 56, b 1 + 6 - 6 = 1. Its key column keeps
         // 287; right of the strip, 65249.
         {2, 33, 62, 0x01DC},
         {2, 31, 62, 287},
         {2, 200, 85, 0xE701},
         {2, 287, 70, 65249},
         // Strip 3 (red, (31, 0, 0)) at (49, 31), level trunc(255 sin(pi / 50)) = 16: over 574,
         // r 0 + 95 * 16 / 256 - 4 = 1, g 17 + 47 * 16 / 256 - 4 = 15, b 30 + 34 * 16 / 256 - 4
         // = 28; over 0 at its last pixel (312, 54), r 1. Its key column keeps 0.
         {2, 100, 40, 0x09FC},
         {2, 312, 54, 0x0800},
         {2, 49, 40, 0},
     }},
};

void PrintTo(const ShowCase& c, std::ostream* os) {
    *os << c.name;
}

class PartShow : public testing::TestWithParam<ShowCase> {};

TEST_P(PartShow, ShowsTheWorkedOutPixels) {
    const ShowCase& c = GetParam();
    HeadlessShow show;
    for (const Picture& p : c.pictures) Register(p.id, Tga24(p.width, p.height, p.pixel));
    const int32_t memory = imageMemoryTotal;
    SetRandSeed(kSeed);
    // The parts keep their once-only flags in statics: a part loaded before in this process is
    // skipped.
    if (*c.frame != nullptr) GTEST_SKIP() << "part already loaded";
    c.part->Load(mainWindow, show.display);
    if (*c.frame == nullptr) GTEST_SKIP() << "part already unloaded";

    auto pixel = c.pixels.begin();
    for (int n = 1; n <= c.pixels.back().frame; ++n) {
        c.part->Render(mainWindow, show.display, c.time(n));
        const std::vector<uint16_t> frame = Pixels(**c.frame);
        for (; pixel != c.pixels.end() && pixel->frame == n; ++pixel) {
            EXPECT_EQ(frame[pixel->y * 320 + pixel->x], pixel->value)
                << "frame " << n << " at " << pixel->x << "," << pixel->y;
        }
        if (n == c.failingLock) {
            PresentWithFailingLock(*c.part, show.display, c.time(n));
        } else {
            c.part->Present(mainWindow, show.display, c.time(n));
        }
    }
    EXPECT_EQ(Visible(), Pixels(**c.frame));
    SetRandSeed(1);

    c.part->Unload(mainWindow, show.display);
    EXPECT_EQ(*c.frame, nullptr);
    EXPECT_EQ(imageMemoryTotal, memory);
    c.part->Unload(mainWindow, show.display);
    EXPECT_EQ(imageMemoryTotal, memory);
}

INSTANTIATE_TEST_SUITE_P(Parts, PartShow, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ShowCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
