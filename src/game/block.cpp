// SPDX-License-Identifier: MIT
#include "game/block.h"

#include "game/occupancy_grid.h"

bool Block::neighbourOccupied(Direction d, const OccupancyGrid& grid) const {
    int column = this->column();
    int row = this->row();
    switch (d) {
        case Direction::Left: --column; break;
        case Direction::Right: ++column; break;
        case Direction::Down: --row; break;
        default: return false;
    }
    // Outside the well reads as free: the moves test walls and floor themselves.
    return grid.occupied(column, row);
}
