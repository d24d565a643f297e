// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

// What a gamepad asks of the game: the four directions (D-pad or left stick) and four buttons. The
// screens give each its meaning, as they do to keys. Also the index into per-control tables.
enum class PadControl : int {
    Up = 0,
    Down = 1,
    Left = 2,
    Right = 3,
    South = 4,  // the lower face button: A on Xbox pads, cross on PlayStation pads
    East = 5,   // the right face button: B, circle
    Start = 6,
    Back = 7,  // Back, Select, Share, View, Minus
};
inline constexpr std::size_t kPadControlCount = 8;
inline constexpr std::size_t kPadDirectionCount = 4;  // Up to Right come first
