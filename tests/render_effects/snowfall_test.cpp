// SPDX-License-Identifier: MIT
// The snow's use of rand(): the ranges it produces and exactly how many values it consumes,
// checked by replaying the generator from the same seed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

#include "render/snowfall.h"

namespace {

// Whether rand() continues as it would after `calls` calls from `seed`.
bool consumed(unsigned seed, int calls) {
    const int next = std::rand();
    std::srand(seed);
    for (int i = 0; i < calls; ++i) std::rand();
    return std::rand() == next;
}

bool whole(float v) { return std::fabs(v - std::round(v)) < 1e-4f; }

// Fall speeds in hundredths of a unit per ms: whole numbers, every one from 1 to `top` seen.
void expectSpeedSteps(const Snowfall& snow, int top) {
    std::set<long> steps, want;
    for (const Flake& f : snow.flakes()) steps.insert(whole(f.fallSpeed * 100) ? std::lround(f.fallSpeed * 100) : -1);
    for (int k = 1; k <= top; ++k) want.insert(k);
    EXPECT_EQ(steps, want);
}

TEST(Snowfall, ScatterTakes8000ValuesAndStaysInRange) {
    Snowfall snow;
    std::srand(12345);
    snow.scatter();
    EXPECT_TRUE(consumed(12345, 8000));
    std::set<float> xs;
    for (const Flake& f : snow.flakes()) {
        EXPECT_TRUE(whole(f.x) && whole(f.y) && whole(f.z) && whole(f.angleX)) << f.x << " " << f.y;
        EXPECT_TRUE(f.x > -29.01f && f.x < 29.01f && f.y > -20.01f && f.y < 39.01f && f.z > -49.01f && f.z < 0.01f)
            << f.x << " " << f.y << " " << f.z;
        for (float a : {f.angleX, f.angleY, f.angleZ}) EXPECT_TRUE(a >= 0 && a <= 359) << a;
        xs.insert(f.x);
    }
    expectSpeedSteps(snow, 5);
    EXPECT_GT(xs.size(), 40u);  // a difference of two values, not one
}

TEST(Snowfall, RespawnsAtMinus30WithSevenValuesEach) {
    Snowfall snow;
    for (Flake& f : snow.flakes()) f = Flake{0, 10, -5, 1, 2, 3, 0.5f};
    auto flakes = snow.flakes();
    const Flake before = flakes[0];
    std::srand(99);
    EXPECT_EQ(snow.advance(0), 0u);  // nothing moves, nothing drawn from rand()
    EXPECT_TRUE(consumed(99, 0));
    EXPECT_EQ(std::memcmp(&before, &flakes[0], sizeof before), 0);

    flakes[3].y = -25;      // reaches exactly -30
    flakes[4].y = -24.99f;  // reaches -29.99: stays
    std::srand(4242);
    EXPECT_EQ(snow.advance(10), 1u);
    EXPECT_TRUE(consumed(4242, 7));
    EXPECT_EQ(flakes[3].y, 60.0f);
    EXPECT_NEAR(flakes[4].y, -29.99f, 1e-4);
    EXPECT_EQ(flakes[0].y, 5.0f);
    EXPECT_EQ(flakes[0].angleZ, 4.0f);  // 0.1 degree per ms

    std::srand(77);
    EXPECT_EQ(snow.advance(1e6f), Snowfall::kFlakeCount);
    EXPECT_TRUE(consumed(77, 7000));
    for (const Flake& f : snow.flakes()) EXPECT_TRUE(f.y == 60 && whole(f.x) && whole(f.z) && f.z > -49.01f) << f.z;
    expectSpeedSteps(snow, 10);
}

}  // namespace
