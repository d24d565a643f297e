// SPDX-License-Identifier: MIT
#pragma once

#include <array>

// A block's offset in whole cells: columns to the right, rows up.
struct Cell {
    int dx;
    int dy;
};

// One kind of piece. `cells` places blocks 0..3 relative to the piece's origin (block 0 in the top
// row); `turnRows[i]` moves each block when the piece turns from angle 90 * i to 90 * (i + 1), the
// last row back to 0. The block order is fixed: rotation and locking depend on it.
struct Shape {
    Cell cells[4];
    Cell turnRows[4][4];
    bool turns;  // false for the square, which keeps its cells
};

// Every kind, indexed by kind number; the number of kinds is this table's size.
// clang-format off
inline constexpr std::array kShapes{
    // 0: column of three, fourth cube right of its top
    Shape{{{0, 0}, {1, 0}, {0, -1}, {0, -2}},
          {{{-1, -1}, {-2, 0}, {0, 0}, {1, 1}},
           {{1, -1}, {0, -2}, {0, 0}, {-1, 1}},
           {{1, 1}, {2, 0}, {0, 0}, {-1, -1}},
           {{-1, 1}, {0, 2}, {0, 0}, {1, -1}}},
          true},
    // 1: column of four
    Shape{{{0, 0}, {0, -1}, {0, -2}, {0, -3}},
          {{{1, -1}, {0, 0}, {-1, 1}, {-2, 2}},
           {{-1, 1}, {0, 0}, {1, -1}, {2, -2}},
           {{1, -1}, {0, 0}, {-1, 1}, {-2, 2}},
           {{-1, 1}, {0, 0}, {1, -1}, {2, -2}}},
          true},
    // 2: two vertical pairs, the right pair one row lower
    Shape{{{0, 0}, {0, -1}, {1, -1}, {1, -2}},
          {{{2, 0}, {1, 1}, {0, 0}, {-1, 1}},
           {{-2, 0}, {-1, -1}, {0, 0}, {1, -1}},
           {{2, 0}, {1, 1}, {0, 0}, {-1, 1}},
           {{-2, 0}, {-1, -1}, {0, 0}, {1, -1}}},
          true},
    // 3: column of three, fourth cube right of its middle
    Shape{{{0, 0}, {0, -1}, {1, -1}, {0, -2}},
          {{{-1, -1}, {0, 0}, {-1, 1}, {1, 1}},
           {{1, -1}, {0, 0}, {-1, -1}, {-1, 1}},
           {{1, 1}, {0, 0}, {1, -1}, {-1, -1}},
           {{-1, 1}, {0, 0}, {1, 1}, {1, -1}}},
          true},
    // 4: two-by-two square
    Shape{{{0, 0}, {1, 0}, {0, -1}, {1, -1}}, {}, false},
    // 5: two vertical pairs, the left pair one row lower
    Shape{{{1, 0}, {1, -1}, {0, -1}, {0, -2}},
          {{{-2, 0}, {-1, 1}, {0, 0}, {1, 1}},
           {{2, 0}, {1, -1}, {0, 0}, {-1, -1}},
           {{-2, 0}, {-1, 1}, {0, 0}, {1, 1}},
           {{2, 0}, {1, -1}, {0, 0}, {-1, -1}}},
          true},
    // 6: column of three, fourth cube left of its top
    Shape{{{0, 0}, {1, 0}, {1, -1}, {1, -2}},
          {{{0, -2}, {-1, -1}, {0, 0}, {1, 1}},
           {{2, 0}, {1, -1}, {0, 0}, {-1, 1}},
           {{0, 2}, {1, 1}, {0, 0}, {-1, -1}},
           {{-2, 0}, {-1, 1}, {0, 0}, {1, -1}}},
          true},
};
// clang-format on
