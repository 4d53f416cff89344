// The blob field part: colour ramp, glow table, the points' draws and moves, the field sum and
// the logo levels.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/numeric.h"
#include "parts/blob_field.h"
#include "image/pixel_layout.h"

namespace {

using blobfield::BlobPoint;

void Use565() {
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
}
void Use555() {
    PixelLayout = {0x7C00, 0x03E0, 0x001F, 5, 5, 5};
}

TEST(BlobRamp, GreenThenCyanThenWhiteIn565) {
    Use565();
    uint16_t ramp[256];
    blobfield::BuildColourRamp(ramp);
    EXPECT_EQ(ramp[0], 0x0000);
    EXPECT_EQ(ramp[1], 0x0020);
    EXPECT_EQ(ramp[63], 0x07E0);
    EXPECT_EQ(ramp[64], 0x07E0);
    EXPECT_EQ(ramp[68], 0x07E1);  // blue rises every fourth entry
    EXPECT_EQ(ramp[191], 0x07FF);
    EXPECT_EQ(ramp[192], 0x07FF);
    EXPECT_EQ(ramp[194], 0x0FFF);  // red rises every second entry
    EXPECT_EQ(ramp[255], 0xFFFF);
    for (int i = 1; i < 256; ++i) EXPECT_GE(ramp[i], ramp[i - 1]) << i;
}

TEST(BlobRamp, FollowsA555Layout) {
    Use555();
    uint16_t ramp[256];
    blobfield::BuildColourRamp(ramp);
    EXPECT_EQ(ramp[31], 0x03E0);
    EXPECT_EQ(ramp[64], 0x03E0);
    EXPECT_EQ(ramp[191], 0x03FF);
    EXPECT_EQ(ramp[255], 0x7FFF);
    Use565();
}

TEST(BlobTable, GlowFallsAsOneOverDistance) {
    std::vector<float> table(blobfield::kTableCapacity, -1.0f);
    blobfield::BuildDistanceTable(table.data());
    EXPECT_EQ(table[0], 1285.7142f);
    EXPECT_EQ(table[1], static_cast<float>(9000000000.0 / 7000000.0));
    EXPECT_EQ(table[160], table[1]);
    EXPECT_EQ(table[4 * 160 + 3], static_cast<float>(9000000000.0 / (5.0 * 7000000.0)));
    EXPECT_FLOAT_EQ(table[4 * 160 + 3], 257.142857f);
    EXPECT_GT(table[119 * 160 + 159], 6.4f);  // far corner, r = 198.8
    EXPECT_LT(table[119 * 160 + 159], 6.5f);
    EXPECT_EQ(table[blobfield::kTableUsed], -1.0f);  // the reserve is not written
}

TEST(BlobPoints, SeedDrawsThreeNumbersPerPointInOrder) {
    SetRandSeed(1);
    BlobPoint points[6];
    blobfield::SeedPoints(points);
    const int expected[6][3] = {{0, 67, 19},   {129, 70, 47}, {56, 107, 82},
                                {119, 20, 85}, {113, 61, 30}, {2, 10, 36}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(points[i].x, expected[i][0]) << i;
        EXPECT_EQ(points[i].y, expected[i][1]) << i;
        EXPECT_EQ(points[i].counter, expected[i][2]) << i;
        EXPECT_EQ(points[i].weight, expected[i][2] < 50 ? 1.0f : 2.0f) << i;
    }
    SetRandSeed(1);
}

TEST(BlobPoints, CounterAndWeightCycle) {
    BlobPoint points[6] = {
        {0, 0, 1.0f, 101},  // wraps to 0, then counts to 1; weight untouched
        {0, 0, 1.0f, 51},   // shrinks
        {0, 0, 0.5f, 60},   // not above 0.5: stays
        {0, 0, 1.0f, 50},   // grows
        {0, 0, 1.85f, 10},  // not below 1.8: stays
        {0, 0, 2.0f, 100},  // last shrinking frame
    };
    blobfield::MovePoints(points, 0.0f);
    EXPECT_EQ(points[0].counter, 1);
    EXPECT_EQ(points[0].weight, 1.0f);
    EXPECT_EQ(points[1].counter, 52);
    EXPECT_EQ(points[1].weight, static_cast<float>(1.0 - 0.05));
    EXPECT_EQ(points[2].weight, 0.5f);
    EXPECT_EQ(points[3].weight, static_cast<float>(1.0 + 0.05));
    EXPECT_EQ(points[4].weight, 1.85f);
    EXPECT_EQ(points[5].counter, 101);
    EXPECT_EQ(points[5].weight, static_cast<float>(2.0 - 0.05));
    // At phase 0: x = 80, y = 60 + 28 + 2k.
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(points[k - 1].x, 80);
        EXPECT_EQ(points[k - 1].y, 88 + 2 * k);
    }
}

TEST(BlobPoints, PathsStayWellInsideTheField) {
    BlobPoint points[6] = {};
    float phi = 0.0f;
    for (int frame = 0; frame < 3000; ++frame) {
        phi = static_cast<float>(double(phi) + double(0.008726646f));
        blobfield::MovePoints(points, phi);
        for (const BlobPoint& p : points) {
            ASSERT_TRUE(p.x >= 26 && p.x <= 134) << frame;
            ASSERT_TRUE(p.y >= 20 && p.y <= 100) << frame;
        }
    }
}

class BlobFieldSum : public ::testing::Test {
  protected:
    void SetUp() override {
        table.assign(blobfield::kTableCapacity, 0.0f);
        blobfield::BuildDistanceTable(table.data());
        for (int i = 0; i < 256; ++i) ramp[i] = static_cast<uint16_t>(i);  // shows trunc(sum)
    }
    uint16_t At(int x, int y) const { return field[y * 160 + x]; }
    std::vector<float> table;
    uint16_t ramp[256];
    uint16_t field[160 * 120] = {};
};

TEST_F(BlobFieldSum, OnePointOfWeightOne) {
    BlobPoint points[6] = {{80, 60, 1.0f, 0}};
    for (int i = 1; i < 6; ++i) points[i] = {10, 10, 0.0f, 0};
    uint16_t* end = blobfield::FillField(field, table.data(), ramp, points);
    EXPECT_EQ(end, field + 160 * 120);
    EXPECT_EQ(At(80, 60), 255);
    EXPECT_EQ(At(85, 60), 255);         // r = 5 gives 257.1
    EXPECT_EQ(At(77, 56), 255);         // (3, 4)
    EXPECT_EQ(At(86, 60), 214);         // r = 6 gives 214.28
    EXPECT_EQ(At(80, 50), 128);         // r = 10 gives 128.57
    EXPECT_EQ(At(0, 0), 12);            // r = 100 gives 12.857
    EXPECT_EQ(At(159, 119), At(1, 1));  // mirror images about the point
}

TEST_F(BlobFieldSum, GlowsAddUpAcrossPoints) {
    BlobPoint points[6];
    for (int i = 0; i < 6; ++i) points[i] = {20 + 20 * i, 60, 1.0f, 0};
    blobfield::FillField(field, table.data(), ramp, points);
    double sum = 0.0;
    for (int i = 0; i < 6; ++i) sum = sum + double(table[std::abs(0 - (20 + 20 * i))]) * 1.0;
    EXPECT_EQ(At(0, 60), TruncToInt(sum));
    points[2].weight = 2.0f;
    blobfield::FillField(field, table.data(), ramp, points);
    EXPECT_EQ(At(0, 60), TruncToInt(sum + double(table[60])));
}

TEST_F(BlobFieldSum, PointOutsideTheFieldWritesNothing) {
    BlobPoint points[6] = {};
    points[3] = {160, 10, 1.0f, 0};
    field[7] = 0x1234;
    EXPECT_EQ(blobfield::FillField(field, table.data(), ramp, points), field);
    EXPECT_EQ(field[7], 0x1234);
    points[3] = {10, -1, 1.0f, 0};
    EXPECT_EQ(blobfield::FillField(field, table.data(), ramp, points), field);
}

TEST(BlobLogos, LevelSwellsAndFades) {
    EXPECT_EQ(blobfield::LogoLevel(0), 0);
    EXPECT_EQ(blobfield::LogoLevel(1), 4);
    EXPECT_EQ(blobfield::LogoLevel(79), 4);
    for (int d = 37; d <= 43; ++d) EXPECT_EQ(blobfield::LogoLevel(d), 119) << d;
    EXPECT_EQ(blobfield::LogoLevel(36), 118);
    EXPECT_EQ(blobfield::LogoLevel(80), 0);
}

}  // namespace
