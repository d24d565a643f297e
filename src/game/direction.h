// SPDX-License-Identifier: MIT
#pragma once

// Which neighbour of a block a move looks at.
enum class Direction : int {
    Left = 0,   // one column to the left
    Right = 1,  // one column to the right
    Down = 2,   // one row lower
};
