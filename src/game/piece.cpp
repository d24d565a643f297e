// SPDX-License-Identifier: MIT
#include "game/piece.h"

#include "game/occupancy_grid.h"
#include "texture/texture.h"

namespace {

// The shape of a kind; a kind that does not exist reads as the first, as layout makes it.
const Shape& shapeOf(int kind) { return kShapes[kind >= 0 && kind < Piece::kKinds ? kind : 0]; }

}  // namespace

void Piece::layout(int shapeKind, const Texture* textures) {
    kind = shapeKind >= 0 && shapeKind < kKinds ? shapeKind : 0;
    const Shape& shape = kShapes[kind];
    angle = 0;
    for (int i = 0; i < 4; ++i) {
        blocks[i].x = static_cast<float>(shape.cells[i].dx);
        blocks[i].y = static_cast<float>(shape.cells[i].dy);
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
    const Shape& shape = shapeOf(kind);
    if (!shape.turns) return;
    // The row that leaves the current angle; the modulo keeps a corrupted angle inside the table.
    const int step = (Block::cell(angle) / 90 % 4 + 4) % 4;
    angle = static_cast<float>((step + 1) % 4 * 90);
    for (int i = 0; i < 4; ++i)
        blocks[i].translate(static_cast<float>(shape.turnRows[step][i].dx),
                            static_cast<float>(shape.turnRows[step][i].dy));
    // One pass, at most one shift per block: the table never puts a block more than two columns
    // outside, and only blocks that come later in the order can still be outside after a shift.
    for (const Block& b : blocks) {
        if (b.column() < 0)
            translate(1, 0);
        else if (b.column() > OccupancyGrid::kColumns - 1)
            translate(-1, 0);
    }
}
