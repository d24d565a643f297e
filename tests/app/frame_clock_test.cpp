// SPDX-License-Identifier: MIT
// The frame time on a fake tick counter: one tick a frame on a fast machine, the real frame time on
// a slow one, no fast-forward after a stall, and the wrap of the 32-bit counter.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/frame_clock.h"

TEST(FrameClock, GivesTheTimeSinceTheLastFrameAtLeastOneTickAndAtMostAStallsWorth) {
    // Readings as the loop makes them, frame by frame, and the dt each frame gets.
    const std::vector<std::pair<std::vector<std::uint32_t>, float>> frames{
        {{0xFFFFFFF0u, 0xFFFFFFF0u, 0xFFFFFFF1u}, 1},  // the first frame waits for the next tick
        {{0xFFFFFFF1u, 0xFFFFFFF1u, 0xFFFFFFF2u}, 1},  // a fast machine: drawn within the tick
        {{0xFFFFFFF7u}, 5},                            // a frame that cost 5 ms
        {{3u}, 12},                                    // across the wrap
        {{203u}, 100},                                 // stopped for 200 ms: no fast-forward
        {{203u, 204u}, 1},                             // and on from there
    };
    FrameClock clock;
    for (const auto& [readings, dt] : frames) {
        size_t next = 0;
        EXPECT_EQ(clock.next([&] { return readings.at(next++); }), dt);
        EXPECT_EQ(next, readings.size());
    }
}
