// The morphing tunnel's index tables, its texel look-up and the plotting of the flying points.
#include <gtest/gtest.h>

#include <vector>

#include "parts/morph_tunnel.h"
#include "parts/tunnel_lookup.h"

namespace {

using morph_tunnel::kHeight;
using morph_tunnel::kWidth;

struct Tables {
    std::vector<uint8_t> angle = std::vector<uint8_t>(kWidth * kHeight, 0xAA);
    std::vector<uint8_t> depth = std::vector<uint8_t>(kWidth * kHeight, 0xAA);
    Tables() { morph_tunnel::BuildTables(angle.data(), depth.data()); }
    int Angle(int column, int row) const { return angle[row * kWidth + column]; }
    int Depth(int column, int row) const { return depth[row * kWidth + column]; }
};

const Tables& SharedTables() {
    static const Tables tables;
    return tables;
}

TEST(MorphTunnelTables, TellingEntries) {
    const Tables& t = SharedTables();
    struct Entry {
        int column, row, angle, depth;
    };
    const Entry entries[] = {{0, 0, 203, 15},      {319, 0, 52, 15},   {160, 0, 128, 26},
                             {0, 120, 0, 19},      {319, 120, 0, 19},  {159, 120, 0, 204},
                             {160, 121, 128, 204}, {0, 239, 53, 15},   {319, 239, 204, 15},
                             {200, 150, 204, 64},  {100, 60, 192, 37}, {160, 120, 0, 0}};
    for (const Entry& e : entries) {
        EXPECT_EQ(t.Angle(e.column, e.row), e.angle) << e.column << "," << e.row;
        EXPECT_EQ(t.Depth(e.column, e.row), e.depth) << e.column << "," << e.row;
    }
}

TEST(MorphTunnelTables, HorizontalAndVerticalAxes) {
    const Tables& t = SharedTables();
    // Row 120: angle 0 on the right, pi on the left, which wraps to 0.
    for (int column = 0; column < kWidth; ++column) EXPECT_EQ(t.Angle(column, 120), 0) << column;
    // Column 160: a quarter turn above and below alike.
    for (int row = 0; row < kHeight; ++row) {
        if (row != 120) {
            EXPECT_EQ(t.Angle(160, row), 128) << row;
        }
    }
    // Depth falls away from the centre: nearer the rim, smaller indices.
    EXPECT_GT(t.Depth(160, 60), t.Depth(160, 0));
}

TEST(MorphTunnelLookup, CentreShowsTheScrollTexelAndScrollsWrap) {
    const Tables& t = SharedTables();
    std::vector<uint16_t> texels(256 * 256);
    for (int i = 0; i < 256 * 256; ++i) texels[i] = static_cast<uint16_t>(i * 7 + 1);
    std::vector<uint16_t> frame(kWidth * kHeight);
    const uint8_t rowScroll = 250, columnScroll = 9;
    tunnel_lookup::Draw(frame.data(), t.depth.data(), t.angle.data(), texels.data(), rowScroll,
                        columnScroll, kWidth * kHeight);
    EXPECT_EQ(frame[120 * kWidth + 160], texels[250 * 256 + 9]);
    // (159, 120): depth 204 + 250 wraps to row 198, angle 0 + 9.
    EXPECT_EQ(frame[120 * kWidth + 159], texels[198 * 256 + 9]);
    // (0, 0): depth 15 + 250 wraps to row 9, angle 203 + 9 = column 212.
    EXPECT_EQ(frame[0], texels[9 * 256 + 212]);
}

TEST(MorphTunnelPoints, TruncatedPlacesLaterPointsWinOffFrameLeftOut) {
    std::vector<uint16_t> frame(kWidth * kHeight, 0);
    const MorphPoint points[] = {
        {3.9f, 2.99f, 0x1111},     // lands on (3, 2)
        {3.0f, 2.0f, 0x2222},      // same pixel, overwrites
        {319.0f, 239.0f, 0x3333},  // the last pixel
        {320.0f, 5.0f, 0x4444},    // off the right edge: left out, not wrapped to row 6
        {-1.5f, 5.0f, 0x5555},     // off the left edge
        {0.0f, 240.0f, 0x6666},    // below the frame
    };
    morph_tunnel::PlotPoints(frame.data(), points, 6);
    EXPECT_EQ(frame[2 * kWidth + 3], 0x2222);
    EXPECT_EQ(frame[239 * kWidth + 319], 0x3333);
    EXPECT_EQ(frame[6 * kWidth + 0], 0);
    EXPECT_EQ(frame[5 * kWidth + 0], 0);
    int written = 0;
    for (uint16_t p : frame) written += p != 0;
    EXPECT_EQ(written, 2);
}

}  // namespace
