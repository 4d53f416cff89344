// The morphing point set: random and picture key frames, the steps between them, adoption.
#include <gtest/gtest.h>

#include <cstring>

#include "image/morph_points.h"
#include "image/numeric.h"

namespace {

void SetPixel(Image& image, int x, int y, uint16_t v) {
    std::memcpy(image.pixels + y * image.bytesPerRow + 2 * x, &v, 2);
}

// A 5x7 picture with an "F" of non-black pixels (colour 100 + index along the row) on black.
Image* FPicture() {
    static const char* const rows[7] = {"#####", "#....", "####.", "#....",
                                        "#....", "#...#", "....."};
    Image* image = new Image(5, 7, 16);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            if (rows[y][x] == '#') SetPixel(*image, x, y, static_cast<uint16_t>(100 + 10 * y + x));
    return image;
}
constexpr int kFInk = 14;  // '#' cells of the F

class MorphPointsTest : public ::testing::Test {
  protected:
    void SetUp() override { SetRandSeed(1); }
    void TearDown() override { SetRandSeed(1); }
};

TEST_F(MorphPointsTest, FirstRandomKeyFrameIsWhiteAndHasNoSteps) {
    MorphPointSet set;
    EXPECT_EQ(set.steps, 0);
    EXPECT_EQ(set.count, 0);
    set.steps = 10;
    set.PushRandom(400, 0, 0, 319, 239);
    EXPECT_EQ(set.count, 400);
    EXPECT_EQ(set.steps, 10);
    ASSERT_NE(set.current, nullptr);
    EXPECT_EQ(set.target, nullptr);
    EXPECT_EQ(set.deltas, nullptr);
    // The sequence from seed 1 starts 41, 18467, 6334, 26500: x = 41 * 319 / 32767 = 0,
    // y = 18467 * 239 / 32767 = 134, then 61 and 193.
    EXPECT_EQ(set.current[0].x, 0.0f);
    EXPECT_EQ(set.current[0].y, 134.0f);
    EXPECT_EQ(set.current[1].x, 61.0f);
    EXPECT_EQ(set.current[1].y, 193.0f);
    for (int i = 0; i < set.count; ++i) {
        EXPECT_EQ(set.current[i].colour, 0xFFFF);
        EXPECT_GE(set.current[i].x, 0.0f);
        EXPECT_LE(set.current[i].x, 319.0f);
        EXPECT_GE(set.current[i].y, 0.0f);
        EXPECT_LE(set.current[i].y, 239.0f);
        EXPECT_EQ(set.current[i].x, static_cast<float>(static_cast<int>(set.current[i].x)));
    }
}

TEST_F(MorphPointsTest, RandomPositionsUseSigned32BitArithmetic) {
    // r * (right - left) wraps in 32 bits before the division: 41 * 100000000 becomes
    // -194967296, and -194967296 / 32767 = -5950 (not 125125).
    MorphPointSet set;
    set.PushRandom(1, 7, -50, 7 + 100000000, -50 + 32767);
    EXPECT_EQ(set.current[0].x, 7.0f - 5950.0f);
    EXPECT_EQ(set.current[0].y, -50.0f + 18467.0f);
    // Negative spans truncate toward zero.
    SetRandSeed(1);
    set.Release();
    set.PushRandom(1, 0, 0, -319, -239);
    EXPECT_EQ(set.current[0].x, 0.0f);
    EXPECT_EQ(set.current[0].y, -134.0f);
}

TEST_F(MorphPointsTest, PictureKeyFrameTakesNonKeyPixelsInRowOrderAndTheirColours) {
    Image* picture = FPicture();
    MorphPointSet set;
    set.steps = 4;
    set.PushRandom(35, 0, 0, 319, 239);
    MorphPoint before[35];
    std::memcpy(before, set.current, sizeof before);
    set.PushImage(*picture, 100, 50, 0);

    ASSERT_EQ(set.count, kFInk);
    ASSERT_NE(set.target, nullptr);
    ASSERT_NE(set.deltas, nullptr);
    int i = 0;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 5; ++x) {
            const uint16_t colour = static_cast<uint16_t>(
                picture->pixels[2 * (y * 5 + x)] | picture->pixels[2 * (y * 5 + x) + 1] << 8);
            if (colour == 0) continue;
            EXPECT_EQ(set.target[i].x, 100.0f + x);
            EXPECT_EQ(set.target[i].y, 50.0f + y);
            EXPECT_EQ(set.target[i].colour, colour);
            // The travelling point takes its colour at once and keeps its place.
            EXPECT_EQ(set.current[i].colour, colour);
            EXPECT_EQ(set.current[i].x, before[i].x);
            EXPECT_EQ(set.deltas[i].dx,
                      static_cast<float>((double{set.target[i].x} - before[i].x) / 4));
            EXPECT_EQ(set.deltas[i].dy,
                      static_cast<float>((double{set.target[i].y} - before[i].y) / 4));
            ++i;
        }
    }
    EXPECT_EQ(i, kFInk);
    delete picture;
}

TEST_F(MorphPointsTest, StepsRunDownThenTheTargetIsAdoptedExactly) {
    Image* picture = FPicture();
    MorphPointSet set;
    set.steps = 200;
    set.PushRandom(76800, 0, 0, 319, 239);
    set.PushImage(*picture, 157, 113, 0);
    MorphPoint* target = set.target;
    for (int s = 0; s < 200; ++s) set.Step();
    EXPECT_EQ(set.steps, 0);
    for (int i = 0; i < set.count; ++i) {
        EXPECT_NEAR(set.current[i].x, set.target[i].x, 0.01);
        EXPECT_NEAR(set.current[i].y, set.target[i].y, 0.01);
    }
    set.Step();  // the 201st
    EXPECT_EQ(set.steps, -1);
    EXPECT_EQ(set.current, target);
    EXPECT_EQ(set.target, nullptr);
    EXPECT_EQ(set.current[0].x, 157.0f);
    EXPECT_EQ(set.current[0].y, 113.0f);
    set.Step();
    EXPECT_EQ(set.steps, -1);
    EXPECT_EQ(set.current, target);
    EXPECT_EQ(set.current[0].x, 157.0f);
    delete picture;
}

TEST_F(MorphPointsTest, StepsAccumulateInSinglePrecisionAndAdoptionIsExact) {
    MorphPointSet set;
    set.steps = 10;
    set.PushRandom(1, 0, 0, 0, 0);  // at (0, 0)
    Image one(1, 1, 16);
    SetPixel(one, 0, 0, 7);
    set.PushImage(one, 1, 2, 0);
    ASSERT_EQ(set.count, 1);
    EXPECT_EQ(set.deltas[0].dx, 0.1f);
    EXPECT_EQ(set.deltas[0].dy, 0.2f);
    for (int s = 0; s < 10; ++s) set.Step();
    // Ten float steps of 0.1f add up to 1.0000001f; the adoption puts the point on 1 exactly.
    EXPECT_EQ(set.current[0].x, 1.0000001192092896f);
    set.Step();
    EXPECT_EQ(set.current[0].x, 1.0f);
    EXPECT_EQ(set.current[0].y, 2.0f);
    EXPECT_EQ(set.current[0].colour, 7);
}

TEST_F(MorphPointsTest, AllKeyPictureGivesNoPoints) {
    Image flat(6, 4, 16);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) SetPixel(flat, x, y, 0x1234);
    MorphPointSet set;
    set.steps = 5;
    set.PushImage(flat, 0, 0, 0x1234);
    EXPECT_EQ(set.count, 0);
    set.PushRandom(0, 0, 0, 10, 10);
    EXPECT_EQ(set.count, 0);
    set.PushImage(flat, 0, 0, 0x1234);
    EXPECT_EQ(set.count, 0);
    for (int s = 0; s < 7; ++s) set.Step();
    EXPECT_EQ(set.steps, -1);
}

TEST_F(MorphPointsTest, PositionsAreTakenModulo65536) {
    Image* picture = FPicture();
    MorphPointSet set;
    set.PushImage(*picture, -2, 65535, 0);
    EXPECT_EQ(set.current[0].x, 65534.0f);
    EXPECT_EQ(set.current[0].y, 65535.0f);
    EXPECT_EQ(set.current[2].x, 0.0f);
    EXPECT_EQ(set.current[5].y, 0.0f);  // second row: 65536 wraps to 0
    delete picture;
}

TEST_F(MorphPointsTest, NewKeyFrameAfterAdoptionStartsFromTheAdoptedPositions) {
    Image* picture = FPicture();
    MorphPointSet set;
    set.steps = 1;
    set.PushRandom(50, 0, 0, 319, 239);
    set.PushImage(*picture, 10, 10, 0);
    set.Step();
    set.Step();
    ASSERT_EQ(set.steps, -1);
    set.steps = 2;
    set.PushRandom(kFInk, 0, 0, 0, 0);
    ASSERT_EQ(set.count, kFInk);
    EXPECT_EQ(set.current[0].x, 10.0f);
    EXPECT_EQ(set.deltas[0].dx, -5.0f);
    EXPECT_EQ(set.current[0].colour, 0xFFFF);
    // Pushing again before the steps are done: the pending target becomes the origin.
    set.PushImage(*picture, 20, 10, 0);
    EXPECT_EQ(set.current[0].x, 0.0f);
    EXPECT_EQ(set.deltas[0].dx, 10.0f);
    delete picture;
}

// More points than the current key frame holds: the extra points have no origin and start on
// their target, instead of being read from beyond the current array.
TEST_F(MorphPointsTest, LargerKeyFrameThanTheCurrentOneStaysInBounds) {
    Image* picture = FPicture();
    MorphPointSet set;
    set.steps = 2;
    set.PushRandom(3, 0, 0, 0, 0);
    set.PushImage(*picture, 10, 20, 0);
    ASSERT_EQ(set.count, kFInk);
    for (int i = 3; i < kFInk; ++i) {
        EXPECT_EQ(set.current[i].x, set.target[i].x);
        EXPECT_EQ(set.current[i].y, set.target[i].y);
        EXPECT_EQ(set.deltas[i].dx, 0.0f);
    }
    set.Step();
    set.Step();
    set.Step();
    EXPECT_EQ(set.steps, -1);
    EXPECT_EQ(set.current[kFInk - 1].x, 14.0f);  // the F's last pixel, (4, 5)
    EXPECT_EQ(set.current[kFInk - 1].y, 25.0f);
    set.steps = 1;
    set.PushRandom(40, 0, 0, 5, 5);
    EXPECT_EQ(set.count, 40);
    set.Step();
    set.Step();
    EXPECT_EQ(set.steps, -1);
    delete picture;
}

TEST_F(MorphPointsTest, StepWithoutATargetKeepsThePoints) {
    MorphPointSet set;
    set.PushRandom(5, 0, 0, 100, 100);
    MorphPoint* points = set.current;
    set.Step();  // steps 0, nothing to adopt
    EXPECT_EQ(set.steps, -1);
    EXPECT_EQ(set.current, points);
    EXPECT_EQ(set.count, 5);
    MorphPointSet moving;
    moving.steps = 3;
    moving.PushRandom(5, 0, 0, 100, 100);
    const float x = moving.current[0].x;
    moving.Step();  // no deltas yet: only the count moves
    EXPECT_EQ(moving.steps, 2);
    EXPECT_EQ(moving.current[0].x, x);
}

TEST_F(MorphPointsTest, PicturesWithoutMemoryOrOf8BitsGiveNoPoints) {
    Image empty;
    empty.width = 320;
    empty.height = 240;
    empty.bitsPerPixel = 16;
    Image indexed(8, 8, 8);
    MorphPointSet set;
    set.PushImage(empty, 0, 0, 0);
    EXPECT_EQ(set.count, 0);
    set.Release();
    set.PushImage(indexed, 0, 0, 0);
    EXPECT_EQ(set.count, 0);
    set.Release();
    EXPECT_EQ(set.current, nullptr);
    EXPECT_EQ(set.target, nullptr);
    EXPECT_EQ(set.deltas, nullptr);
}

}  // namespace
