// SPDX-License-Identifier: MIT
// Pieces: layout, moves against the grid, and rotation as a quarter turn clamped at the walls only.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/occupancy_grid.h"
#include "game/piece.h"
#include "texture/texture.h"

namespace {

using Cells = std::array<std::pair<int, int>, 4>;

Cells cellsOf(const Piece& p) {
    Cells c;
    for (int i = 0; i < 4; ++i) c[i] = {p.blocks[i].column(), p.blocks[i].row()};
    return c;
}

// The cells as a set, moved so that the smallest starts at (0, 0): the shape without position.
Cells shapeOf(Cells c) {
    std::sort(c.begin(), c.end());
    const auto origin = c[0];
    for (auto& [x, y] : c) x -= origin.first, y -= origin.second;
    return c;
}

Piece pieceAt(int kind, int x, int y) {
    Piece p;
    p.layout(kind, nullptr);
    p.translate(static_cast<float>(x), static_cast<float>(y));
    return p;
}

}  // namespace

TEST(Piece, LayoutAndMovesStopAtTheFloorAndOccupiedNeighboursOnly) {
    std::array<Texture, Piece::kKinds> textures;
    Piece p = pieceAt(6, 5, 10);
    p.rotate();
    p.layout(3, textures.data());
    p.translate(5, 22);
    EXPECT_EQ(cellsOf(p), (Cells{{{5, 22}, {5, 21}, {6, 21}, {5, 20}}}));
    EXPECT_TRUE(p.angle == 0 && p.blocks[3].texture == &textures[3]);

    OccupancyGrid grid;
    grid.set(3, 3);  // directly left of block 1 at (4, 3)
    grid.set(6, 4);  // only diagonal to block 2 at (5, 3)
    p = pieceAt(3, 4, 4);
    p.moveLeft(grid);
    EXPECT_EQ(p.blocks[0].x, 4);
    p.moveRight(grid);
    EXPECT_EQ(p.blocks[0].x, 5);
    for (int i = 0; i < 4; ++i) p.moveDown(grid);  // two rows down to the floor, which is no cell
    EXPECT_EQ(p.blocks[3].y, 0);
}

// Each turn shows the start shape turned a further quarter anticlockwise (the square never
// turns), four turns bring every block back to its own cell, and from either wall every turn
// stays inside.
TEST(Piece, EveryKindTurnsAQuarterAtATimeInsideTheWalls) {
    for (int k = 0; k < Piece::kKinds; ++k) {
        Piece p = pieceAt(k, 5, 10);
        const Cells start = cellsOf(p);
        Cells turned = start;
        for (int turn = 1; turn <= 4; ++turn) {
            p.rotate();
            if (k != 4)
                for (auto& [x, y] : turned) std::tie(x, y) = std::make_pair(-y, x);
            EXPECT_EQ(shapeOf(cellsOf(p)), shapeOf(turned)) << "kind " << k << " turn " << turn;
            EXPECT_EQ(p.angle, k == 4 ? 0 : 90 * turn % 360);
        }
        EXPECT_EQ(cellsOf(p), start) << "kind " << k;
        for (int turns = 0; turns < 8; ++turns) {
            OccupancyGrid empty;
            Piece q = pieceAt(k, 5, 10);
            for (int t = 0; t < turns % 4; ++t) q.rotate();
            for (int m = 0; m < 12; ++m) turns < 4 ? q.moveLeft(empty) : q.moveRight(empty);
            for (int t = 0; t <= 4; ++t, q.rotate()) {
                const auto [lo, hi] = std::minmax({q.blocks[0].x, q.blocks[1].x, q.blocks[2].x, q.blocks[3].x});
                ASSERT_TRUE(lo >= 0 && hi <= 10 && (t > 0 || (turns < 4 ? lo == 0 : hi == 10))) << "kind " << k;
            }
        }
    }
}

TEST(Piece, RotationIsNotStoppedByTheFloorOrTheHeap) {
    // A row on the floor turns into a column reaching two rows below it; those rows have no cells.
    OccupancyGrid grid;
    Piece p = pieceAt(1, 5, 3);
    p.rotate();
    while (!p.atBottom()) p.moveDown(grid);
    p.rotate();
    EXPECT_EQ(cellsOf(p), (Cells{{{5, 1}, {5, 0}, {5, -1}, {5, -2}}}));
    for (int c = 0; c < OccupancyGrid::kColumns; ++c)
        for (int r = 0; r < OccupancyGrid::kRows; ++r) grid.set(c, r);
    EXPECT_TRUE(p.blocks[1].neighbourOccupied(Direction::Left, grid));
    EXPECT_FALSE(p.blocks[2].neighbourOccupied(Direction::Left, grid));
    // A turn into settled blocks is carried out (here clamped off the wall by one column); the
    // piece still falls while cells below are free.
    grid.clear();
    grid.set(2, 9);
    p = pieceAt(0, 0, 10);
    p.rotate();
    EXPECT_EQ(cellsOf(p), (Cells{{{0, 9}, {0, 10}, {1, 9}, {2, 9}}}));
    p.moveDown(grid);
    EXPECT_EQ(cellsOf(p)[3], std::make_pair(2, 8));
}
