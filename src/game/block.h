// SPDX-License-Identifier: MIT
#pragma once

#include "game/direction.h"

class OccupancyGrid;
class Texture;

// One cube of the well. Coordinates are cell coordinates held in floats that always carry whole
// numbers: column x 0..10 from the left, row y from the bottom (22 for a new piece, -1 or -2 after
// a rotation below the floor). Points at one of the session's block textures and owns nothing.
class Block {
public:
    Block() = default;
    virtual ~Block() = default;
    Block(const Block&) = default;
    Block& operator=(const Block&) = default;

    void setTexture(const Texture* shown) { texture = shown; }
    void translate(float dx, float dy) {
        x += dx;
        y += dy;
    }
    // True when the neighbour cell in direction d is a cell of the well and is occupied. Walls,
    // floor and the space above the well are not cells and read as free.
    bool neighbourOccupied(Direction d, const OccupancyGrid& grid) const;

    // Draws the cube centred on (x, y, 0) with its texture (defined by the renderer).
    void draw() const;

    // Column and row truncated toward zero, as every grid lookup takes them.
    int column() const { return cell(x); }
    int row() const { return cell(y); }

    // Truncation toward zero that stays defined for any float: values far outside the well (and
    // NaN) map to +-1000, which no cell has.
    static int cell(float v) {
        if (!(v > -1000.0f)) return -1000;
        if (v >= 1000.0f) return 1000;
        return static_cast<int>(v);
    }

    const Texture* texture = nullptr;  // not owned; null until Piece::layout sets it
    float x = 0;                       // column, whole number
    float y = 0;                       // row, whole number
};
