// SPDX-License-Identifier: MIT
// The gamepad through the whole SDL stack (sdl12-compat over SDL 2) with a virtual pad, in a real
// window, in both layouts: a pad plugged in while running is found, pulled out while it holds a
// direction it holds nothing, plugged in again it acts; no heap allocation in a poll. The frames'
// clock is the test's own, starting at SDL's.
#include "input/gamepad.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "heap_count.h"
#include "support/gl_test_window.h"
#include "support/virtual_pad.h"

namespace {

using GamepadGl = GlTestWindow;
using enum PadControl;
using Acted = std::vector<PadControl>;

// What acts in `ms` 1 ms frames from `now` on; the polls' heap allocations are counted.
Acted run(Gamepad& pad, std::uint32_t& now, std::uint32_t ms, bool mayLook = true) {
    Acted acted;
    acted.reserve(64);
    countAllocations(true);
    for (const std::uint32_t end = now + ms; now != end; ++now)
        for (PadControl c : pad.poll(now, mayLook)) acted.push_back(c);
    countAllocations(false);
    return acted;
}

}  // namespace

TEST_F(GamepadGl, PadsPluggedInActPulledOutHoldNothing) {
    for (const bool controller : {true, false}) {
        setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", controller ? "1" : "0", 1);
        VirtualPad sensor(false);  // listed in plain mode only
        Gamepad pad;
        pad.open();
        std::uint32_t now = SDL_GetTicks(), start = now;
        VirtualPad vpad;
        while (pad.padCount() == 0 && now - start < 5000) run(pad, now, 1);
        EXPECT_LE(now - start, 3000u) << "a device without buttons is no pad";
        for (int b : {0, 6, 12}) vpad.button(b, true);  // south, Start, D-pad down
        vpad.hat(SDL_HAT_DOWN);
        EXPECT_EQ(run(pad, now, 101), controller ? Acted({Down, South, Start, Down}) : Acted({Down, South, Down}));
        for (int b : {0, 6, 12}) vpad.button(b, false);
        vpad.hat(SDL_HAT_CENTERED);
        for (int b : {1, 4}) vpad.button(b, true);  // east, Back
        vpad.axis(0, -20000);
        EXPECT_EQ(run(pad, now, 50), controller ? Acted({Left, East, Back}) : Acted({Left, East})) << controller;
        vpad.pullOut();
        EXPECT_EQ(run(pad, now, 3000), Acted()) << "nothing held once the pad has gone";
        vpad.plugIn();
        run(pad, now, 3000, false);
        EXPECT_EQ(pad.padCount(), 0) << "no look while a game is played";
        vpad.button(1, true);
        vpad.axis(0, -32768);  // a new pad's stick counts once seen within half
        EXPECT_EQ(run(pad, now, 50), Acted({East})) << "plugged in again";
        pad.close();
    }
    EXPECT_EQ(allocationCount(), 0);
}
