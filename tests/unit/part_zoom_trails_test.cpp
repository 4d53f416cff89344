// The trails part's sprite places.
#include <gtest/gtest.h>

#include "parts/zoom_trails.h"

namespace {

using zoom_trails::GroupPlaces;
using zoom_trails::SpritePlace;

TEST(ZoomTrails, GroupPlacesAroundTheCentre) {
    SpritePlace places[3];
    GroupPlaces(0, 20, 0.0f, 10.0f, places);
    EXPECT_EQ(places[0].x, 144);  // r sin 0
    EXPECT_EQ(places[0].y, 94);   // 104 - 10
    EXPECT_EQ(places[1].x, 139);  // 144 - (15 - 10)
    EXPECT_EQ(places[1].y, 104);
    EXPECT_EQ(places[2].x, 144);
    EXPECT_EQ(places[2].y, 119);  // 104 - (10 - 25)

    // Group 5 of 20 is a quarter turn on, by the single-precision full turn: sin(theta) falls just
    // short of 1, so the truncations land one pixel towards the centre.
    GroupPlaces(5, 20, 0.0f, 10.0f, places);
    EXPECT_EQ(places[0].x, 135);
    EXPECT_EQ(places[0].y, 104);
    EXPECT_EQ(places[1].x, 144);
    EXPECT_EQ(places[1].y, 55);
    EXPECT_EQ(places[2].x, 163);
    EXPECT_EQ(places[2].y, 104);
}

TEST(ZoomTrails, EveryPlaceKeepsTheSpriteInsideTheFrame) {
    for (int groups : {20, 2}) {
        for (int step = 0; step < 180; ++step) {
            const float phase = step * 0.034906585f;
            for (float r = -40.0f; r <= 60.0f; r += 1.0f) {
                for (int i = 0; i < groups; ++i) {
                    SpritePlace places[3];
                    GroupPlaces(i, groups, phase, r, places);
                    for (const SpritePlace& p : places) {
                        ASSERT_GE(p.x, 0);
                        ASSERT_LE(p.x, 288);
                        ASSERT_GE(p.y, 0);
                        ASSERT_LE(p.y, 208);
                    }
                }
            }
        }
    }
}

}  // namespace
