// SPDX-License-Identifier: MIT
#include "game/piece.h"

#include "game/occupancy_grid.h"
#include "render/texture.h"

namespace {

struct Cell {
    int dx;
    int dy;
};

// Relative cell of blocks 0..3 for each kind; rows grow upward, block 0 is in the top row.
constexpr Cell kLayout[Piece::kKinds][4] = {
    {{0, 0}, {1, 0}, {0, -1}, {0, -2}},   // 0: column of three, cube right of its top
    {{0, 0}, {0, -1}, {0, -2}, {0, -3}},  // 1: column of four
    {{0, 0}, {0, -1}, {1, -1}, {1, -2}},  // 2: vertical pairs, right pair lower
    {{0, 0}, {0, -1}, {1, -1}, {0, -2}},  // 3: column of three, cube right of its middle
    {{0, 0}, {1, 0}, {0, -1}, {1, -1}},   // 4: square
    {{1, 0}, {1, -1}, {0, -1}, {0, -2}},  // 5: vertical pairs, left pair lower
    {{0, 0}, {1, 0}, {1, -1}, {1, -2}},   // 6: column of three, cube left of its top
};

// Displacement of blocks 0..3 when a piece of each kind turns to the new angle, indexed
// [kind][angle / 90 - 1] for 90, 180, 270 and [kind][3] for the turn back to 0. Kind 4 never turns.
constexpr Cell kTurn[Piece::kKinds][4][4] = {
    {{{-1, -1}, {-2, 0}, {0, 0}, {1, 1}},
     {{1, -1}, {0, -2}, {0, 0}, {-1, 1}},
     {{1, 1}, {2, 0}, {0, 0}, {-1, -1}},
     {{-1, 1}, {0, 2}, {0, 0}, {1, -1}}},
    {{{1, -1}, {0, 0}, {-1, 1}, {-2, 2}},
     {{-1, 1}, {0, 0}, {1, -1}, {2, -2}},
     {{1, -1}, {0, 0}, {-1, 1}, {-2, 2}},
     {{-1, 1}, {0, 0}, {1, -1}, {2, -2}}},
    {{{2, 0}, {1, 1}, {0, 0}, {-1, 1}},
     {{-2, 0}, {-1, -1}, {0, 0}, {1, -1}},
     {{2, 0}, {1, 1}, {0, 0}, {-1, 1}},
     {{-2, 0}, {-1, -1}, {0, 0}, {1, -1}}},
    {{{-1, -1}, {0, 0}, {-1, 1}, {1, 1}},
     {{1, -1}, {0, 0}, {-1, -1}, {-1, 1}},
     {{1, 1}, {0, 0}, {1, -1}, {-1, -1}},
     {{-1, 1}, {0, 0}, {1, 1}, {1, -1}}},
    {},
    {{{-2, 0}, {-1, 1}, {0, 0}, {1, 1}},
     {{2, 0}, {1, -1}, {0, 0}, {-1, -1}},
     {{-2, 0}, {-1, 1}, {0, 0}, {1, 1}},
     {{2, 0}, {1, -1}, {0, 0}, {-1, -1}}},
    {{{0, -2}, {-1, -1}, {0, 0}, {1, 1}},
     {{2, 0}, {1, -1}, {0, 0}, {-1, 1}},
     {{0, 2}, {1, 1}, {0, 0}, {-1, -1}},
     {{-2, 0}, {-1, 1}, {0, 0}, {1, -1}}},
};

constexpr int kSquare = 4;

}  // namespace

void Piece::layout(int kind, const Texture* textures) {
    if (kind < 0 || kind >= kKinds) kind = 0;  // no such shape: fall back to the first
    this->kind = kind;
    angle = 0;
    for (int i = 0; i < 4; ++i) {
        blocks[i].x = static_cast<float>(kLayout[kind][i].dx);
        blocks[i].y = static_cast<float>(kLayout[kind][i].dy);
        blocks[i].setTexture(textures != nullptr ? &textures[kind] : nullptr);
    }
}

void Piece::translate(float dx, float dy) {
    for (Block& b : blocks) b.translate(dx, dy);
}

bool Piece::blocked(Direction d, const OccupancyGrid& grid) const {
    for (const Block& b : blocks)
        if (b.neighbourOccupied(d, grid)) return true;
    return false;
}

// The wall and floor tests compare exactly: coordinates always carry whole numbers.
void Piece::moveLeft(const OccupancyGrid& grid) {
    for (const Block& b : blocks)
        if (b.x == 0) return;
    if (!blocked(Direction::Left, grid)) translate(-1, 0);
}

void Piece::moveRight(const OccupancyGrid& grid) {
    for (const Block& b : blocks)
        if (b.x == OccupancyGrid::kColumns - 1) return;
    if (!blocked(Direction::Right, grid)) translate(1, 0);
}

void Piece::moveDown(const OccupancyGrid& grid) {
    if (atBottom()) return;
    if (!blocked(Direction::Down, grid)) translate(0, -1);
}

bool Piece::atBottom() const {
    for (const Block& b : blocks)
        if (b.y == 0) return true;
    return false;
}

void Piece::rotate() {
    if (kind == kSquare || kind < 0 || kind >= kKinds) return;
    angle += 90;
    if (angle == 360) angle = 0;
    // 90 -> 0, 180 -> 1, 270 -> 2, 0 -> 3; the modulo keeps a corrupted angle inside the table.
    const int step = ((Block::cell(angle) / 90 - 1) % 4 + 4) % 4;
    for (int i = 0; i < 4; ++i)
        blocks[i].translate(static_cast<float>(kTurn[kind][step][i].dx), static_cast<float>(kTurn[kind][step][i].dy));
    // One pass, at most one shift per block: the table never puts a block more than two columns
    // outside, and only blocks that come later in the order can still be outside after a shift.
    for (const Block& b : blocks) {
        if (b.column() < 0)
            translate(1, 0);
        else if (b.column() > OccupancyGrid::kColumns - 1)
            translate(-1, 0);
    }
}
