// SPDX-License-Identifier: MIT
// From raw pad readings to the controls that act, frame by frame: buttons once per press, directions
// with the keyboard's repeat, the stick only past its thresholds.
#include "input/pad_actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using enum PadControl;

struct Step {
    std::vector<PadControl> pressed;
    int x, y;    // the stick
    int frames;  // of 1 ms
};

// What acts, as "ms:control" (controls by number, ms from the first frame), on a clock that passes
// the wrap of SDL's tick counter.
std::string play(PadActions& a, const std::vector<Step>& steps) {
    std::string acted;
    std::uint32_t t = 0;
    for (const Step& s : steps) {
        PadReading r{{}, static_cast<std::int16_t>(s.x), static_cast<std::int16_t>(s.y)};
        for (PadControl c : s.pressed) r.pressed[static_cast<std::size_t>(c)] = true;
        for (int i = 0; i < s.frames; ++i, ++t)
            for (PadControl c : a.update(r, 0xFFFFFF00u + t))
                acted += std::to_string(t) + ":" + std::to_string(static_cast<int>(c)) + " ";
    }
    return acted;
}

}  // namespace

TEST(PadActions, ButtonsActOncePerPressDirectionsRepeatLikeKeysTheStickPastHalfDownToAThird) {
    PadActions a;
    EXPECT_EQ(play(a, {{{South, Left}, 0, 0, 560}, {{South}, 0, 0, 300}, {{}, 0, 0, 1}, {{East, Left}, 0, 0, 101}}),
              "0:2 0:4 100:2 250:2 400:2 550:2 861:2 861:5 961:2 ");
    a.release();  // the pads went: what is held is new; the stick must come within half first
    EXPECT_EQ(play(a, {{{East}, -32768, 0, 300}}), "0:5 ");
    // Noise and a worn stick resting within half; past half the axis further out holds and repeats,
    // and holds on down to a third; a slow release springing back a little; the other axis.
    EXPECT_EQ(play(a, {{{}, 3000, -2000, 9},
                       {{}, 12000, 0, 9},
                       {{}, 16384, -16000, 9},
                       {{}, 20000, 17000, 110},
                       {{}, 11000, 0, 141},
                       {{}, 10900, 0, 9},
                       {{}, -2000, 0, 9},
                       {{}, 16000, 0, 9},
                       {{}, 0, -32768, 9},
                       {{}, -30000, -32768, 9},
                       {{}, -30000, 0, 9}}),
              "27:3 127:3 277:3 305:0 323:2 ");
}
