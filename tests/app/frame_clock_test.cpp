// SPDX-License-Identifier: MIT
// The frame time: a busy wait for the next change of the 32-bit millisecond counter.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/frame_clock.h"

namespace {

// A fake tick counter that returns the scripted readings one after another.
struct ScriptedClock {
    std::vector<std::uint32_t> readings;
    size_t next = 0;
    std::uint32_t operator()() { return readings[next < readings.size() ? next++ : readings.size() - 1]; }
};

}  // namespace

TEST(FrameClock, WaitsForTheCounterToChangeAndNeverReturnsZero) {
    ScriptedClock clock{{1000, 1000, 1000, 1000, 1001}};
    EXPECT_EQ(waitForNextTick(std::ref(clock)), 1.0f);
    EXPECT_EQ(clock.next, 5u);

    ScriptedClock held{{500, 503}};  // the thread was held up: 3 whole milliseconds
    EXPECT_EQ(waitForNextTick(std::ref(held)), 3.0f);
}

TEST(FrameClock, StaysSmallAndPositiveAcrossTheCounterWrap) {
    ScriptedClock wrap{{0xFFFFFFFFu, 0xFFFFFFFFu, 0u}};
    EXPECT_EQ(waitForNextTick(std::ref(wrap)), 1.0f);
    EXPECT_EQ(tickDelta(0xFFFFFFFEu, 1u), 3u);
    EXPECT_EQ(tickDelta(0xFFFFFFF0u, 0xFFFFFFF5u), 5u);
}
