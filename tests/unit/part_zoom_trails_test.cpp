// The trails part's sprite places.
#include <gtest/gtest.h>

#include <cmath>

#include "image/image.h"
#include "part_show_support.h"
#include "parts/sprite_add.h"
#include "parts/zoom_blur_kernels.h"
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

namespace {

using show_support::Bgr;
using show_support::Pixels;

// Walked pixels of the soften, and the rest.
bool Softened(int q) {
    return q >= zoomblur::kSoftenFirst && q < zoomblur::kSoftenEnd;
}

TEST(ZoomTrailsPart, StagesFollowTheLocalTime) {
    show_support::HeadlessShow show;
    // Glows of one step of red, green and blue, so overlaps add up without saturating.
    show_support::Register(115, show_support::Tga24(32, 32, [](int, int) { return Bgr{0, 0, 8}; }));
    show_support::Register(116, show_support::Tga24(32, 32, [](int, int) { return Bgr{0, 4, 0}; }));
    show_support::Register(117, show_support::Tga24(32, 32, [](int, int) { return Bgr{8, 0, 0}; }));
    ZoomTrailsPart& part = zoomTrailsPart;
    EXPECT_FRESH_LOAD(part, workFrame, show.display);
    EXPECT_EQ(part.groupCount, 20);

    // Below 50: twenty groups on a cleared A, and B a copy of A.
    float phase = 0.0f;
    for (int l = 0; l < 50; ++l) {
        part.Render(mainWindow, show.display, 880 + l);
        phase = float(double(phase) + double(0.034906585f));
        const float radius = float(50.0 * std::sin(double(phase)) + 10.0);
        Image expected(320, 240, 16);
        for (int i = 0; i < 20; ++i) {
            zoom_trails::SpritePlace places[3];
            GroupPlaces(i, 20, phase, radius, places);
            AddSprite(expected, places[0].x, places[0].y, *part.sprite1);
            AddSprite(expected, places[1].x, places[1].y, *part.sprite2);
            AddSprite(expected, places[2].x, places[2].y, *part.sprite3);
        }
        ASSERT_EQ(Pixels(*part.workFrame), Pixels(expected)) << l;
        ASSERT_EQ(Pixels(*part.shownFrame), Pixels(expected)) << l;
    }
    const std::vector<uint16_t> lastRing = Pixels(*part.shownFrame);

    // Exactly 50: the sprites go into B and are overwritten by A, which still holds the ring.
    part.Render(mainWindow, show.display, 930);
    EXPECT_EQ(part.groupCount, 2);
    EXPECT_EQ(Pixels(*part.shownFrame), lastRing);
    part.Render(mainWindow, show.display, 930);
    EXPECT_EQ(Pixels(*part.shownFrame), lastRing);

    // 51 to 90: two groups into B, then B enlarged into A and A softened back into B.
    for (int l = 51; l <= 90; ++l) {
        const std::vector<uint16_t> before = Pixels(*part.shownFrame);
        part.Render(mainWindow, show.display, 880 + l);
        Image softened(320, 240, 16);
        zoomblur::SoftenEightNeighbours(softened, *part.workFrame);
        const std::vector<uint16_t> after = Pixels(*part.shownFrame);
        const std::vector<uint16_t> expected = Pixels(softened);
        for (int q = 0; q < 320 * 240; ++q)
            ASSERT_EQ(after[q], Softened(q) ? expected[q] : before[q]) << l << " " << q;
    }

    // Above 90: no sprites; the enlargement reads B as the last frame left it.
    for (int l = 91; l <= 95; ++l) {
        Image enlarged(320, 240, 16);
        int32_t columns[320], rows[240];
        zoomblur::BuildZoomMaps(columns, rows);
        zoomblur::ZoomFromMaps(enlarged, *part.shownFrame, columns, rows);
        part.Render(mainWindow, show.display, 880 + l);
        EXPECT_EQ(part.groupCount, 0);
        ASSERT_EQ(Pixels(*part.workFrame), Pixels(enlarged)) << l;
    }

    // A failed lock of the back buffer shows its box; nothing is copied or unlocked.
    std::string error;
    ASSERT_TRUE(testkit::ArmFailure("Lock", &error)) << error;
    testkit::ForgetMessageBoxes();
    part.Present(mainWindow, show.display, 975);
    EXPECT_EQ(testkit::MessageBoxes().size(), 1u);
    part.Present(mainWindow, show.display, 975);
    EXPECT_EQ(testkit::MessageBoxes().size(), 1u);
    int width = 0, height = 0;
    EXPECT_EQ(testkit::VisibleFrame(&width, &height), Pixels(*part.shownFrame));

    part.Unload(mainWindow, show.display);
    EXPECT_EQ(part.workFrame, nullptr);
}

}  // namespace
