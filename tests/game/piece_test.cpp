#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "game/occupancy_grid.h"
#include "game/piece.h"
#include "render/texture.h"

namespace {

using Cells = std::array<std::pair<int, int>, 4>;

Cells cellsOf(const Piece& p, int dx = 0, int dy = 0) {
    Cells c;
    for (int i = 0; i < 4; ++i) c[i] = {p.blocks[i].column() - dx, p.blocks[i].row() - dy};
    return c;
}

Piece pieceAt(int kind, int x, int y) {
    Piece p;
    p.layout(kind, nullptr);
    p.translate(static_cast<float>(x), static_cast<float>(y));
    return p;
}

}  // namespace

TEST(Piece, LayoutPointsAtTheKindsTextureAndResetsTheAngle) {
    std::array<Texture, Piece::kKinds> textures;
    Piece p = pieceAt(6, 0, 0);
    p.rotate();
    p.layout(3, textures.data());
    p.translate(5, 22);
    EXPECT_EQ(cellsOf(p), (Cells{{{5, 22}, {5, 21}, {6, 21}, {5, 20}}}));
    EXPECT_EQ(p.angle, 0);
    for (const Block& b : p.blocks) EXPECT_EQ(b.texture, &textures[3]);
    p.layout(9, textures.data());  // no such kind: kind 0, never a read past the tables
    EXPECT_EQ(p.blocks[1].texture, &textures[0]);
}

TEST(Piece, MovesStopAtWallsFloorAndOccupiedNeighboursOnly) {
    OccupancyGrid grid;
    Piece p = pieceAt(3, 0, 5);  // (0,5) (0,4) (1,4) (0,3): one block at the wall holds it
    p.moveLeft(grid);
    EXPECT_EQ(p.blocks[0].x, 0);
    p = pieceAt(3, 9, 5);  // block 2 in column 10
    p.moveRight(grid);
    EXPECT_EQ(p.blocks[0].x, 9);
    p = pieceAt(3, 4, 2);  // block 3 on the floor of an empty well; the floor is not a cell
    EXPECT_TRUE(p.atBottom());
    EXPECT_FALSE(p.blocked(Direction::Down, grid));
    p.moveDown(grid);
    EXPECT_EQ(p.blocks[3].y, 0);

    grid.set(3, 3);  // directly left of block 1 at (4, 3)
    grid.set(6, 4);  // only diagonal to block 2 at (5, 3)
    p = pieceAt(3, 4, 4);
    p.moveLeft(grid);
    EXPECT_EQ(p.blocks[0].x, 4);
    p.moveRight(grid);
    EXPECT_EQ(p.blocks[0].x, 5);
    EXPECT_FALSE(p.blocks[0].neighbourOccupied(static_cast<Direction>(7), grid));
}

TEST(Piece, EveryKindTurnsThroughTheOrientationTable) {
    // Cells relative to the layout origin at angles 90, 180, 270 (180 of kinds 1, 2, 5 and all of
    // kind 4 are the layout itself).
    const Cells turned[Piece::kKinds][3] = {
        {{{{-1, -1}, {-1, 0}, {0, -1}, {1, -1}}}, {{{0, -2}, {-1, -2}, {0, -1}, {0, 0}}},
         {{{1, -1}, {1, -2}, {0, -1}, {-1, -1}}}},
        {{{{1, -1}, {0, -1}, {-1, -1}, {-2, -1}}}, {{{0, 0}, {0, -1}, {0, -2}, {0, -3}}},
         {{{1, -1}, {0, -1}, {-1, -1}, {-2, -1}}}},
        {{{{2, 0}, {1, 0}, {1, -1}, {0, -1}}}, {{{0, 0}, {0, -1}, {1, -1}, {1, -2}}},
         {{{2, 0}, {1, 0}, {1, -1}, {0, -1}}}},
        {{{{-1, -1}, {0, -1}, {0, 0}, {1, -1}}}, {{{0, -2}, {0, -1}, {-1, -1}, {0, 0}}},
         {{{1, -1}, {0, -1}, {0, -2}, {-1, -1}}}},
        {{{{0, 0}, {1, 0}, {0, -1}, {1, -1}}}, {{{0, 0}, {1, 0}, {0, -1}, {1, -1}}},
         {{{0, 0}, {1, 0}, {0, -1}, {1, -1}}}},
        {{{{-1, 0}, {0, 0}, {0, -1}, {1, -1}}}, {{{1, 0}, {1, -1}, {0, -1}, {0, -2}}},
         {{{-1, 0}, {0, 0}, {0, -1}, {1, -1}}}},
        {{{{0, -2}, {0, -1}, {1, -1}, {2, -1}}}, {{{2, -2}, {1, -2}, {1, -1}, {1, 0}}},
         {{{2, 0}, {2, -1}, {1, -1}, {0, -1}}}},
    };
    for (int k = 0; k < Piece::kKinds; ++k) {
        Piece p = pieceAt(k, 5, 10);
        const Cells start = cellsOf(p);
        for (int turn = 0; turn < 3; ++turn) {
            p.rotate();
            EXPECT_EQ(cellsOf(p, 5, 10), turned[k][turn]) << "kind " << k << " turn " << turn + 1;
            EXPECT_EQ(p.angle, k == 4 ? 0 : 90 * (turn + 1));
        }
        p.rotate();
        EXPECT_EQ(cellsOf(p), start) << "kind " << k;
        EXPECT_EQ(p.angle, 0);
    }
}

TEST(Piece, RotationClampsAtTheWallsButNotAtTheFloorOrTheHeap) {
    Piece p = pieceAt(1, 0, 10);  // a column in column 0 becomes a row in columns 0..3
    p.rotate();
    EXPECT_EQ(cellsOf(p), (Cells{{{3, 9}, {2, 9}, {1, 9}, {0, 9}}}));
    p = pieceAt(1, 10, 10);  // in column 10 a row in columns 7..10
    p.rotate();
    EXPECT_EQ(cellsOf(p), (Cells{{{10, 9}, {9, 9}, {8, 9}, {7, 9}}}));
    // Any turn from either wall stays inside.
    for (int k = 0; k < Piece::kKinds; ++k)
        for (int turns = 0; turns < 8; ++turns) {
            OccupancyGrid empty;
            Piece q = pieceAt(k, 5, 10);
            for (int t = 0; t < turns % 4; ++t) q.rotate();
            for (int m = 0; m < 12; ++m) turns < 4 ? q.moveLeft(empty) : q.moveRight(empty);
            for (int t = 0; t < 4; ++t) {
                q.rotate();
                for (const Block& b : q.blocks) ASSERT_TRUE(b.x >= 0 && b.x <= 10) << "kind " << k;
            }
        }

    // A row on the floor turns into a column reaching two rows below it; those rows have no cells.
    OccupancyGrid grid;
    p = pieceAt(1, 5, 3);
    p.rotate();
    while (!p.atBottom()) p.moveDown(grid);
    p.rotate();
    EXPECT_EQ(cellsOf(p), (Cells{{{5, 1}, {5, 0}, {5, -1}, {5, -2}}}));
    for (int c = 0; c < OccupancyGrid::kColumns; ++c)
        for (int r = 0; r < OccupancyGrid::kRows; ++r) grid.set(c, r);
    EXPECT_TRUE(p.blocks[1].neighbourOccupied(Direction::Left, grid));
    EXPECT_FALSE(p.blocks[2].neighbourOccupied(Direction::Left, grid));
    EXPECT_FALSE(p.blocks[3].neighbourOccupied(Direction::Right, grid));

    // A turn into settled blocks is carried out; the piece still falls while cells below are free.
    grid.clear();
    grid.set(6, 9);
    p = pieceAt(0, 5, 10);
    p.rotate();
    EXPECT_EQ(cellsOf(p), (Cells{{{4, 9}, {4, 10}, {5, 9}, {6, 9}}}));
    p.moveDown(grid);
    EXPECT_EQ(cellsOf(p), (Cells{{{4, 8}, {4, 9}, {5, 8}, {6, 8}}}));
}
