// The snow's use of rand(): the ranges it produces and exactly how many values it consumes,
// checked by replaying the generator from the same seed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

#include "render/snowfall.h"

namespace {

// The value rand() returns after `skip` calls from `seed`.
int randAfter(unsigned seed, int skip) {
    std::srand(seed);
    for (int i = 0; i < skip; ++i) std::rand();
    return std::rand();
}

bool isWhole(float v) { return std::fabs(v - std::round(v)) < 1e-4f; }

// Index 1..n of `speed` among 0.01, 0.02, ..., or 0 if it is none of them.
int speedStep(float speed, int n) {
    for (int k = 1; k <= n; ++k)
        if (speed == static_cast<float>(k) * 0.01f) return k;
    return 0;
}

TEST(Snowfall, ScatterFillsTheRangesWithExactly8000Values) {
    Snowfall snow;
    ASSERT_EQ(snow.flakes().size(), 1000u);
    constexpr unsigned seed = 12345;
    std::srand(seed);
    snow.scatter();
    const int next = std::rand();  // before replaying, which reseeds
    EXPECT_EQ(next, randAfter(seed, 8000));

    std::set<int> speeds, xs;
    float minY = 100, maxY = -100, minZ = 100, maxZ = -100;
    for (const Flake& f : snow.flakes()) {
        EXPECT_TRUE(isWhole(f.x) && isWhole(f.y) && isWhole(f.z)) << f.x << " " << f.y << " " << f.z;
        EXPECT_GE(f.x, -29.0001f);
        EXPECT_LE(f.x, 29.0001f);
        minY = std::min(minY, f.y);
        maxY = std::max(maxY, f.y);
        minZ = std::min(minZ, f.z);
        maxZ = std::max(maxZ, f.z);
        for (float a : {f.angleX, f.angleY, f.angleZ}) {
            EXPECT_EQ(a, std::round(a));
            EXPECT_GE(a, 0.0f);
            EXPECT_LE(a, 359.0f);
        }
        const int step = speedStep(f.fallSpeed, 5);
        EXPECT_NE(step, 0) << f.fallSpeed;
        speeds.insert(step);
        xs.insert(static_cast<int>(std::round(f.x)));
    }
    EXPECT_GE(minY, -20.0001f);
    EXPECT_LE(maxY, 39.0001f);
    EXPECT_GE(minZ, -49.0001f);
    EXPECT_LE(maxZ, 0.0001f);
    EXPECT_EQ(speeds.size(), 5u);  // every speed occurs among 1000 flakes
    EXPECT_GT(xs.size(), 40u);     // a difference of two values, not one
}

TEST(Snowfall, ZeroFrameTimeMovesNothingAndDrawsNoRandom) {
    Snowfall snow;
    std::srand(7);
    snow.scatter();
    Flake before[Snowfall::flakeCount];
    std::memcpy(before, snow.flakes().data(), sizeof before);
    std::srand(99);
    EXPECT_EQ(snow.advance(0), 0u);
    const int next = std::rand();  // before replaying, which reseeds
    EXPECT_EQ(next, randAfter(99, 0));
    EXPECT_EQ(std::memcmp(before, snow.flakes().data(), sizeof before), 0);
}

TEST(Snowfall, RespawnsAtMinus30AndTakesSevenValuesEach) {
    Snowfall snow;
    for (Flake& f : snow.flakes()) f = Flake{0, 10, -5, 1, 2, 3, 0.5f};
    auto flakes = snow.flakes();
    flakes[3].y = -25;       // reaches exactly -30
    flakes[4].y = -24.99f;   // reaches -29.99: stays
    flakes[500].y = -100;    // far below
    flakes[999].y = -25;

    constexpr unsigned seed = 4242;
    std::srand(seed);
    EXPECT_EQ(snow.advance(10), 3u);
    const int next = std::rand();  // before replaying, which reseeds
    EXPECT_EQ(next, randAfter(seed, 21));

    for (std::size_t i : {3u, 500u, 999u}) {
        SCOPED_TRACE(i);
        const Flake& f = flakes[i];
        EXPECT_EQ(f.y, 60.0f);
        EXPECT_NE(speedStep(f.fallSpeed, 10), 0) << f.fallSpeed;
        EXPECT_TRUE(isWhole(f.x) && isWhole(f.z));
        EXPECT_GE(f.z, -49.0001f);
        EXPECT_LE(f.angleX, 359.0f);
    }
    EXPECT_NEAR(flakes[4].y, -29.99f, 1e-4);
    EXPECT_EQ(flakes[4].fallSpeed, 0.5f);
    EXPECT_EQ(flakes[0].y, 5.0f);
    EXPECT_EQ(flakes[0].angleX, 2.0f);  // 1 degree per 10 ms, the same for every angle
    EXPECT_EQ(flakes[0].angleY, 3.0f);
    EXPECT_EQ(flakes[0].angleZ, 4.0f);
}

TEST(Snowfall, RespawnedSpeedsCoverOneToTenHundredths) {
    Snowfall snow;
    std::srand(2024);
    snow.scatter();
    std::srand(77);
    EXPECT_EQ(snow.advance(1e6f), Snowfall::flakeCount);  // every flake falls out at once
    const int next = std::rand();  // before replaying, which reseeds
    EXPECT_EQ(next, randAfter(77, 7000));
    std::set<int> steps;
    for (const Flake& f : snow.flakes()) {
        EXPECT_EQ(f.y, 60.0f);
        const int step = speedStep(f.fallSpeed, 10);
        EXPECT_NE(step, 0) << f.fallSpeed;
        steps.insert(step);
    }
    EXPECT_EQ(steps.size(), 10u);
}

}  // namespace
