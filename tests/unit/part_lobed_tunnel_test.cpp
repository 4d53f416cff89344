// The lobed tunnel's index tables and the picture's shake.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "image/numeric.h"
#include "parts/lobed_tunnel.h"

namespace {

using lobed_tunnel::kHeight;
using lobed_tunnel::kWidth;

struct Tables {
    std::vector<uint8_t> depth = std::vector<uint8_t>(kWidth * kHeight, 0);
    std::vector<uint8_t> angle = std::vector<uint8_t>(kWidth * kHeight, 0);
    int Depth(int x, int y) const { return depth[y * kWidth + x]; }
};

const Tables& SharedTables() {
    static const Tables tables = [] {
        Tables t;
        lobed_tunnel::BuildTables(t.depth.data(), t.angle.data());
        return t;
    }();
    return tables;
}

// The tables drawn point by point with every sine and cosine taken afresh, plus a map of the
// pixels that some point hit.
struct Reference : Tables {
    std::vector<uint8_t> hit = std::vector<uint8_t>(kWidth * kHeight, 0);
    Reference() {
        const double turn = 6.283185005187988;
        for (double d = 0.0; d < 300.0; d += 0.2) {
            for (double a = 0.0; a < turn; a += 0.003141592502593994) {
                const double r = d + 50.0 * std::sin(7.0 * a);
                const int x = 160 + TruncToInt(r * std::cos(a));
                const int y = 120 - TruncToInt(r * std::sin(a));
                if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) continue;
                depth[y * kWidth + x] = static_cast<uint8_t>(TruncToInt(d));
                angle[y * kWidth + x] = static_cast<uint8_t>(TruncToInt(a * 285.20567172864656));
                hit[y * kWidth + x] = 1;
            }
        }
    }
};

TEST(LobedTunnelTables, SameAsDrawingEveryPointAfreshAndEveryPixelIsHit) {
    const Tables& t = SharedTables();
    const Reference reference;
    EXPECT_EQ(t.depth, reference.depth);
    EXPECT_EQ(t.angle, reference.angle);
    int missed = 0;
    int deepest = 0;
    for (int k = 0; k < kWidth * kHeight; ++k) {
        missed += reference.hit[k] == 0;
        deepest = std::max(deepest, int(reference.depth[k]));
    }
    EXPECT_EQ(missed, 0);
    EXPECT_LE(deepest, 250);
}

TEST(LobedTunnelTables, CornersLieOnDifferentLobes) {
    const Tables& t = SharedTables();
    for (int x : {0, 319}) {
        EXPECT_NEAR(t.Depth(x, 0), 250, 12) << x;
        EXPECT_NEAR(t.Depth(x, 239), 150, 12) << x;
    }
}

TEST(LobedTunnelShake, DrawsDyFirstAndStaysWithinFiveSteps) {
    SetRandSeed(1);
    const int first = Rand();
    const int second = Rand();
    SetRandSeed(1);
    const lobed_tunnel::Shake shake = lobed_tunnel::DrawShake();
    EXPECT_EQ(shake.dy, first * 5 / 32767);
    EXPECT_EQ(shake.dx, second * 5 / 32767);
    int largest = 0;
    for (int i = 0; i < 20000; ++i) {
        const lobed_tunnel::Shake s = lobed_tunnel::DrawShake();
        ASSERT_GE(s.dx, 0);
        ASSERT_GE(s.dy, 0);
        ASSERT_LE(s.dx, 5);
        ASSERT_LE(s.dy, 5);
        largest = std::max({largest, s.dx, s.dy});
    }
    EXPECT_GE(largest, 4);
    SetRandSeed(1);
}

}  // namespace
