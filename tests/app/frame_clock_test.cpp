// SPDX-License-Identifier: MIT
// The frame time: a busy wait for the next change of the 32-bit millisecond counter.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/frame_clock.h"

TEST(FrameClock, WaitsForTheCounterToChangeAndStaysSmallAcrossItsWrap) {
    for (auto [readings, dt] : {std::pair{std::vector<std::uint32_t>{1000, 1000, 1000, 1001}, 1.0f},
                                {{500, 503}, 3.0f},  // the thread was held up: 3 whole milliseconds
                                {{0xFFFFFFFFu, 0xFFFFFFFFu, 1u}, 2.0f}}) {
        size_t next = 0;
        EXPECT_EQ(waitForNextTick([&] { return readings[next++]; }), dt);
        EXPECT_EQ(next, readings.size());
    }
}
