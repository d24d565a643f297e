// SPDX-License-Identifier: MIT
#pragma once

#include <array>

#include "game/block.h"
#include "game/shape.h"

class OccupancyGrid;

// The falling piece: four blocks forming one of seven shape kinds. The block order is fixed by the
// layout table; rotation and locking depend on it.
class Piece {
public:
    static constexpr int kKinds = static_cast<int>(kShapes.size());

    Piece() = default;

    // Sets `kind` to shapeKind (0..kKinds - 1; anything else reads as 0), places block i at the
    // kind's relative cell and points all four at textures[kind], the session's block textures;
    // angle becomes 0.
    void layout(int shapeKind, const Texture* textures);
    void translate(float dx, float dy);

    // One cell in that direction unless a block is at the wall or floor, or a neighbour cell in
    // that direction is occupied; otherwise nothing changes.
    void moveLeft(const OccupancyGrid& grid);
    void moveRight(const OccupancyGrid& grid);
    void moveDown(const OccupancyGrid& grid);
    bool atBottom() const;                                       // a block lies in row 0
    bool blocked(Direction d, const OccupancyGrid& grid) const;  // a block's neighbour is occupied

    // One step of the shape's turn rows, then a one-pass clamp back inside columns 0..10. Does not
    // look at the grid; may overlap settled blocks or reach rows -1, -2. A square does not turn.
    void rotate();

    // Draws the four blocks in order (defined by the renderer).
    void draw() const;

    int kind = 0;                 // shape kind 0..6, set by layout
    std::array<Block, 4> blocks;  // fixed order, see the layout table
    float angle = 0;              // degrees: 0, 90, 180 or 270
};
