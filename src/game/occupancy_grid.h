// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

// Which cells of the 11 x 22 well hold a settled block. Column-major: the cell in column c and row
// r is byte r + 22 * c, 1 when occupied. Positions outside columns 0..10 or rows 0..21 have no
// cell: they read as free and cannot be set. Never holds the falling piece's cells.
class OccupancyGrid {
public:
    static constexpr int kColumns = 11;
    static constexpr int kRows = 22;
    static constexpr int kCells = kColumns * kRows;  // 242

    OccupancyGrid() { clear(); }

    void clear() { cells_.fill(0); }
    static bool inside(int column, int row) { return column >= 0 && column < kColumns && row >= 0 && row < kRows; }
    // False outside the well.
    bool occupied(int column, int row) const { return inside(column, row) && cells_[index(column, row)] != 0; }
    // Does nothing outside the well.
    void set(int column, int row) {
        if (inside(column, row)) cells_[index(column, row)] = 1;
    }
    const std::array<std::uint8_t, kCells>& bytes() const { return cells_; }

private:
    static int index(int column, int row) { return row + kRows * column; }

    std::array<std::uint8_t, kCells> cells_;  // byte row + 22 * column, 1 = occupied; all 0 at start
};
