// SPDX-License-Identifier: MIT
#include "game/block.h"

#include "game/occupancy_grid.h"

bool Block::neighbourOccupied(Direction d, const OccupancyGrid& grid) const {
    const int column = this->column() + (d == Direction::Left ? -1 : d == Direction::Right ? 1 : 0);
    const int row = this->row() - (d == Direction::Down ? 1 : 0);
    // Outside the well reads as free: the moves test walls and floor themselves.
    return grid.occupied(column, row);
}
