// The ring pattern, the bouncing windows, the interference of two windows and the levels.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "image/numeric.h"
#include "parts/ring_interference.h"

namespace {

using namespace ring_interference;

const std::vector<uint16_t>& SharedRings() {
    static const std::vector<uint16_t> rings = [] {
        std::vector<uint16_t> r(kRingWidth * kRingHeight, 0);
        DrawRings(r.data());
        return r;
    }();
    return rings;
}

TEST(RingPattern, SameAsDrawingEveryPointAfresh) {
    std::vector<uint16_t> reference(kRingWidth * kRingHeight, 0);
    for (double base = 0.0; base < 540.0; base += 0.2) {
        for (double a = 0.0; a < 6.283185005187988; a += 0.003141592502593994) {
            const double r = base + 10.0 * std::sin(5.0 * a);
            const int x = TruncToInt(std::cos(a) * r) + 320;
            const int y = 240 - TruncToInt(std::sin(a) * r);
            if (x >= 0 && x < kRingWidth && y >= 0 && y < kRingHeight) {
                reference[y * kRingWidth + x] =
                    static_cast<uint16_t>(287 * (TruncToInt(base * 0.1) % 2));
            }
        }
    }
    EXPECT_EQ(SharedRings(), reference);
}

TEST(RingPattern, TwoValuesAndTheCentreIsSet) {
    const std::vector<uint16_t>& rings = SharedRings();
    int set = 0;
    for (uint16_t p : rings) {
        ASSERT_TRUE(p == 0 || p == kRing) << p;
        set += p == kRing;
    }
    EXPECT_EQ(rings[240 * kRingWidth + 320], kRing);
    // Roughly half the covered area lies on odd rings.
    EXPECT_GT(set, kRingWidth * kRingHeight / 3);
    EXPECT_LT(set, kRingWidth * kRingHeight * 2 / 3);
}

TEST(RingWindows, FirstMoveAndOvershootRange) {
    Window a{320, 240}, b{50, 200};
    Velocity va{3, 2}, vb{-4, -1};
    Bounce(a, va);
    Bounce(b, vb);
    EXPECT_EQ(a.x, 323);
    EXPECT_EQ(a.y, 242);
    EXPECT_EQ(b.x, 46);
    EXPECT_EQ(b.y, 199);
    int minAx = a.x, maxAx = a.x, minAy = a.y, maxAy = a.y;
    int minBx = b.x, maxBx = b.x, minBy = b.y, maxBy = b.y;
    for (int frame = 0; frame < 5000; ++frame) {
        Bounce(a, va);
        Bounce(b, vb);
        minAx = std::min(minAx, a.x), maxAx = std::max(maxAx, a.x);
        minAy = std::min(minAy, a.y), maxAy = std::max(maxAy, a.y);
        minBx = std::min(minBx, b.x), maxBx = std::max(maxBx, b.x);
        minBy = std::min(minBy, b.y), maxBy = std::max(maxBy, b.y);
    }
    EXPECT_GE(minAx, -1);
    EXPECT_LE(maxAx, 323);
    EXPECT_GE(minAy, 0);
    EXPECT_LE(maxAy, 242);
    EXPECT_GE(minBx, -2);
    EXPECT_LE(maxBx, 322);
    EXPECT_GE(minBy, 0);
    EXPECT_LE(maxBy, 241);
}

TEST(RingInterference, SumsLeftDifferencesRightPastTheEndIsZero) {
    // Window A all 287, window B 287 only on its own first row: every value pair shows up.
    std::vector<uint16_t> rings(kRingWidth * kRingHeight, kRing);
    const Window a{323, 242}, b{0, 0};
    const double phase = 0.3;
    // Make B's rows other than the first read 0 by clearing the image below row 0 only where B
    // looks and A does not: B covers columns 0..319 of rows 0..239, A columns 323..642 of rows
    // 242..481, which starts at column 323 of row 242.
    for (int y = 1; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) rings[y * kRingWidth + x] = 0;
    }
    std::vector<uint16_t> frame(kWidth * kHeight, 0xBEEF);
    Interfere(frame.data(), rings.data(), a, b, phase);
    for (int i : {0, 1, 100, 237, 238, 239}) {
        const int split = DividingColumn(i, phase);
        ASSERT_GE(split, 100);
        ASSERT_LE(split, 220);
        for (int j = 0; j < kWidth; ++j) {
            const int64_t index = int64_t(a.y + i) * kRingWidth + a.x + j;
            const uint16_t va = index < kRingWidth * kRingHeight ? kRing : 0;
            const uint16_t vb = i == 0 ? kRing : 0;
            const uint16_t expected = static_cast<uint16_t>(j < split ? va + vb : va - vb);
            ASSERT_EQ(frame[i * kWidth + j], expected) << "row " << i << " column " << j;
        }
    }
    // Row 0: both 287 gives 574 on the left and 0 on the right.
    EXPECT_EQ(frame[0], 574);
    EXPECT_EQ(frame[319], 0);
    // Rows 238 and 239 of window A lie past the end of the image: only B, which is 0 there.
    EXPECT_EQ(frame[238 * kWidth + 5], 0);
    EXPECT_EQ(frame[239 * kWidth + 300], 0);
}

TEST(RingInterference, OnlyWindowBGivesItsValueAndItsNegative) {
    std::vector<uint16_t> rings(kRingWidth * kRingHeight, 0);
    // Window B at (0, 0) sees row 0 as 287; window A at (0, 300) sees zeros.
    for (int x = 0; x < kRingWidth; ++x) rings[x] = kRing;
    std::vector<uint16_t> frame(kWidth * kHeight, 0);
    Interfere(frame.data(), rings.data(), Window{0, 300}, Window{0, 0}, 0.0);
    const int split = DividingColumn(0, 0.0);
    EXPECT_EQ(frame[split - 1], 287);
    EXPECT_EQ(frame[split], 65249);
}

TEST(RingInterference, WindowRowsRunOnIntoTheNextRingRow) {
    std::vector<uint16_t> rings(kRingWidth * kRingHeight, 0);
    rings[1 * kRingWidth + 0] = 100;  // first three pixels of row 1
    rings[1 * kRingWidth + 1] = 200;
    rings[1 * kRingWidth + 2] = 300;
    std::vector<uint16_t> frame(kWidth * kHeight, 0);
    // Window A from (323, 0): its columns 317..319 take ring row 1's first three pixels.
    Interfere(frame.data(), rings.data(), Window{323, 0}, Window{0, 400}, 0.0);
    EXPECT_EQ(frame[317], 100);
    EXPECT_EQ(frame[318], 200);
    EXPECT_EQ(frame[319], 300);
}

TEST(RingLevels, StripAndFigure) {
    // At L = 21 strip 1 has level 26 and strip 3 level 16; at the middle of strip 1's window 254.
    EXPECT_EQ(StripLevel((21 - 20) * 0.10471975008646647), 26);
    EXPECT_EQ(StripLevel((21 - 20) * 0.06283185005187988), 16);
    EXPECT_EQ(StripLevel((35 - 20) * 0.10471975008646647), 254);
    // The figure's height: 73 rows after the first phase step, none from frame 81 to 99, and
    // never all 150.
    double phase = 0.0;
    int highest = 0;
    for (int frame = 1; frame <= 400; ++frame) {
        phase += 0.017444444444444446;
        const int rows = FigureRows(phase);
        if (frame == 1) {
            EXPECT_EQ(rows, 73);
        }
        if (frame >= 81 && frame <= 99) {
            EXPECT_EQ(rows, 0) << frame;
        }
        EXPECT_GE(rows, 0);
        highest = std::max(highest, rows);
    }
    EXPECT_EQ(highest, 149);
}

}  // namespace
