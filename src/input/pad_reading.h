// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

#include "input/pad_control.h"

// One frame's raw readings of the gamepads, all pads merged: which controls are pressed, and where
// the left stick stands. Axis values are SDL's: -32768 to 32767, 0 in the centre.
struct PadReading {
    std::array<bool, kPadControlCount> pressed{};  // by PadControl, directions from the D-pad; all up
    std::int16_t stickX = 0;                       // left stick across: negative left; default 0
    std::int16_t stickY = 0;                       // left stick along: negative up; default 0
};
