// SPDX-License-Identifier: MIT
// The rules of the game. Pieces: layout, moves against the grid, and rotation as a quarter turn
// clamped at the walls only. The session, tick by tick: falling, landing and locking, rows removed
// and scored by level, the level and gravity's speed, pause and soft drop, game over.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "game/game_session.h"
#include "support/test_access.h"
#include "texture/texture.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

// The cells of blocks in their order: of a piece's blocks, or of the settled heap.
Cells cellsOf(const auto& blocks) {
    Cells out;
    for (const Block& b : blocks) out.emplace_back(b.column(), b.row());
    return out;
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

// Settles `heap`, then drops a column of four into column 0 with its lowest block in row
// `lowest` and ticks until it locks; the lock spawns the next piece in row 22.
void dropColumn(GameSession& s, const Cells& heap, int lowest = 0) {
    for (auto [c, r] : heap) TestAccess::settled(s).emplace_back().translate(float(c), float(r));
    s.rebuildGrid();
    TestAccess::current(s) = pieceAt(1, 0, lowest + 3);
    for (int t = 0; t < 100 && s.current().blocks[0].y != 22; ++t) s.tick();
}

// Columns 1 to 10 of each row: full once column 0 is filled.
Cells rowsBut0(std::initializer_list<int> rows) {
    Cells out;
    for (int r : rows)
        for (int c = 1; c < 11; ++c) out.emplace_back(c, r);
    return out;
}

}  // namespace

TEST(Piece, LayoutGivesTheKindsCellsAndTextureUnturned) {
    std::array<Texture, Piece::kKinds> textures;
    Piece p = pieceAt(6, 5, 10);
    p.rotate();
    p.layout(3, textures.data());
    p.translate(5, 22);
    EXPECT_EQ(cellsOf(p.blocks), (Cells{{5, 22}, {5, 21}, {6, 21}, {5, 20}}));
    EXPECT_EQ(std::pair(p.angle, p.blocks[3].texture), std::pair(0.0f, static_cast<const Texture*>(&textures[3])));
}

TEST(Piece, MovesStopAtTheFloorAndOccupiedNeighboursOnly) {
    OccupancyGrid grid;
    grid.set(3, 3);  // directly left of block 1 at (4, 3)
    grid.set(6, 4);  // only diagonal to block 2 at (5, 3)
    Piece p = pieceAt(3, 4, 4);
    p.moveLeft(grid);  // blocked: stays in column 4
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
        const Cells start = cellsOf(p.blocks);
        Cells turned = start;
        for (int turn = 1; turn <= 4; ++turn) {
            p.rotate();
            if (k != 4)
                for (auto& [x, y] : turned) std::tie(x, y) = std::make_pair(-y, x);
            EXPECT_EQ(shapeOf(cellsOf(p.blocks)), shapeOf(turned)) << "kind " << k << " turn " << turn;
            EXPECT_EQ(p.angle, k == 4 ? 0 : 90 * turn % 360);  // the square keeps its cells
        }
        EXPECT_EQ(cellsOf(p.blocks), start) << "kind " << k;
        for (int turns = 0; turns < 8; ++turns) {
            OccupancyGrid empty;
            Piece q = pieceAt(k, 5, 10);
            for (int t = 0; t < turns % 4; ++t) q.rotate();
            for (int m = 0; m < 12; ++m) turns < 4 ? q.moveLeft(empty) : q.moveRight(empty);
            for (int t = 0; t <= 4; ++t, q.rotate()) {
                const auto [lo, hi] = std::minmax({q.blocks[0].x, q.blocks[1].x, q.blocks[2].x, q.blocks[3].x});
                ASSERT_GE(lo, 0) << "kind " << k;
                ASSERT_LE(hi, 10) << "kind " << k;
                ASSERT_TRUE(t > 0 || (turns < 4 ? lo == 0 : hi == 10))
                    << "kind " << k << " off the wall: " << lo << ".." << hi;
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
    EXPECT_EQ(cellsOf(p.blocks), (Cells{{5, 1}, {5, 0}, {5, -1}, {5, -2}}));
    for (int i = 0; i < OccupancyGrid::kCells; ++i) grid.set(i / OccupancyGrid::kRows, i % OccupancyGrid::kRows);
    EXPECT_TRUE(p.blocks[1].neighbourOccupied(Direction::Left, grid));
    EXPECT_FALSE(p.blocks[2].neighbourOccupied(Direction::Left, grid));
    // A turn into settled blocks is carried out (here clamped off the wall by one column); the
    // piece still falls while cells below are free.
    grid.clear();
    grid.set(2, 9);
    p = pieceAt(0, 0, 10);
    p.rotate();
    EXPECT_EQ(cellsOf(p.blocks), (Cells{{0, 9}, {0, 10}, {1, 9}, {2, 9}}));
    p.moveDown(grid);
    EXPECT_EQ(cellsOf(p.blocks)[3], std::make_pair(2, 8));
}

TEST(GameSession, PiecesFallAndLockFullRowsGoScoredByLevelAndTheLevelRises) {
    struct Case {
        Cells heap;
        int lowest, lines, level;  // before the drop: the column's lowest row, the counters
        // Then the score (the level for each tick: a row fallen each, or landing on the floor, and
        // one more to lock; then (5 * level) ^ rows removed, 1 for none), lines, level, and the
        // gravity interval of the piece the lock spawned, before the level rose.
        std::array<int, 4> after;
        Cells left;
    };
    Cells strays = rowsBut0({0, 2});  // rows 0 and 2 go in one lock; blocks outside the well follow
    strays.insert(strays.end(), {{3, 22}, {4, -1}});
    const Case cases[] = {
        {{}, 18, 0, 1, {20, 0, 1, 300}, {{0, 3}, {0, 2}, {0, 1}, {0, 0}}},  // from below the top to the floor
        {rowsBut0({0, 1, 2, 3}), 0, 0, 1, {627, 4, 1, 300}, {}},
        {rowsBut0({0}), 0, 10, 2, {14, 11, 2, 250}, {{0, 2}, {0, 1}, {0, 0}}},
        {strays, 0, 0, 1, {27, 2, 1, 300}, {{3, 20}, {4, -1}, {0, 1}, {0, 0}}},
        {rowsBut0({0}), 0, 9, 1, {7, 10, 2, 300}, {{0, 2}, {0, 1}, {0, 0}}},
    };
    for (const Case& c : cases) {
        GameSession s;
        TestAccess::setCounters(s, c.lines, c.level);
        dropColumn(s, c.heap, c.lowest);
        EXPECT_EQ((std::array{s.score(), s.lines(), s.level(), s.timerInterval()}), c.after);
        EXPECT_EQ(cellsOf(s.settled()), c.left) << c.after[0];
        OccupancyGrid grid;  // the settled cells in the well, and nothing else
        for (auto [col, row] : c.left) grid.set(col, row);
        EXPECT_EQ(s.grid().bytes(), grid.bytes());
    }
}

TEST(GameSession, GravityReachesFiftyMsAtLevelSixAndStaysThereAndTheScoreSaturates) {
    GameSession s;
    for (auto [level, ms] : {std::pair{2, 250}, {6, 50}, {7, 50}, {INT_MAX, 50}}) {
        TestAccess::setCounters(s, 0, level);
        s.spawn();
        EXPECT_EQ(s.timerInterval(), ms) << level;
    }
    TestAccess::setCounters(s, INT_MAX - 100, INT_MAX);
    dropColumn(s, rowsBut0({0, 1, 2, 3}), 10);
    EXPECT_EQ(std::pair(s.score(), s.lines()), std::pair(INT_MAX, INT_MAX - 96));
}

TEST(GameSession, PauseStopsGravityAndSoftDropButNotMovesAndResumesAtTheLevelsSpeed) {
    GameSession s;
    TestAccess::setNextKind(s, 1);
    s.spawn();
    s.softDrop();  // its speed the gravity test measures
    s.togglePause();
    s.softDrop();  // ignored while paused; moves still move
    s.moveLeft();
    s.rotate();
    EXPECT_EQ(std::tuple(s.timerInterval(), s.current().blocks[1].x, s.current().angle), std::tuple(0, 4.0f, 90.0f));
    s.togglePause();
    EXPECT_EQ(s.timerInterval(), 300) << "resuming ends a soft drop";
}

TEST(GameSession, OverOnceABlockSettlesInColumn5Row22AndUntilTheNextReset) {
    GameSession s;
    for (int kind : {5, 0}) {  // kind 5 has no block in (5, 22), kind 0 has
        TestAccess::setNextKind(s, kind);
        s.spawn();
        s.lock();
        EXPECT_EQ(s.isGameOver(), kind == 0) << kind;
    }
    EXPECT_TRUE(s.isGameOver());  // stays over, gravity stopped
    EXPECT_EQ(s.timerInterval(), 0);
    TestAccess::setCounters(s, 30, 4);
    s.reset();
    EXPECT_FALSE(s.isGameOver());
    EXPECT_EQ(std::tuple(s.settled().size(), s.score(), s.lines(), s.level()), std::tuple(std::size_t{0}, 0, 0, 1));
}
