// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>

#include "game/game_session.h"
#include "support/test_access.h"

namespace {

using CellList = std::vector<std::pair<int, int>>;

CellList cells(const std::vector<Block>& blocks) {
    CellList out;
    for (const Block& b : blocks) out.emplace_back(b.column(), b.row());
    return out;
}

Block blockAt(int column, int row) {
    Block b;
    b.translate(static_cast<float>(column), static_cast<float>(row));
    return b;
}

// Settles blocks filling `rows` in every column but 0, then drops a column of four into column 0
// from row 3 and ticks until it locks (two ticks, the lock spawns at row 22).
void dropColumnIntoRows(GameSession& s, const std::vector<int>& rows, int fromRow = 3) {
    for (int r : rows)
        for (int c = 1; c < OccupancyGrid::kColumns; ++c) TestAccess::settled(s).push_back(blockAt(c, r));
    s.rebuildGrid();
    TestAccess::current(s).layout(1, nullptr);
    TestAccess::current(s).translate(0, static_cast<float>(fromRow));
    for (int t = 0; t < 100 && s.current().blocks[0].y != 22; ++t) s.tick();
}

}  // namespace

TEST(GameSession, ColumnOfFourFallsTwentyTicksAndScores21) {
    GameSession s;
    TestAccess::setNextKind(s, 1);
    s.spawn();
    for (int t = 1; t <= 19; ++t) {
        s.tick();
        ASSERT_EQ(s.current().blocks[3].y, 19 - t);
        ASSERT_EQ(s.score(), t);
        ASSERT_EQ(s.landed(), t == 19);
    }
    s.tick();  // the 20th locks: 20 tick points plus 1 for a lock without rows
    EXPECT_EQ(s.score(), 21);
    EXPECT_EQ(cells(s.settled()), (CellList{{5, 3}, {5, 2}, {5, 1}, {5, 0}}));
    EXPECT_EQ(s.current().blocks[0].y, 22);
}

TEST(GameSession, LockScoresRemovedRowsByLevelAndPowerAndLevelsRise) {
    struct Case {
        std::vector<int> fullRows;
        int lines, level;  // before the drop
        int points;        // besides the two ticks' level each
        int removed;
    };
    // Rows 0 and 2 with row 1 not full go in one lock; 9 + 1 lines reach level 2 only after it.
    const Case cases[] = {{{0, 1, 2, 3}, 0, 1, 625, 4}, {{0}, 10, 2, 10, 1}, {{0, 2}, 0, 1, 25, 2}, {{0}, 9, 1, 5, 1}};
    for (const Case& c : cases) {
        GameSession s;
        TestAccess::setCounters(s, c.lines, c.level);
        dropColumnIntoRows(s, c.fullRows);
        EXPECT_EQ(s.score(), 2 * c.level + c.points) << c.points;
        EXPECT_EQ(s.lines(), c.lines + c.removed);
        EXPECT_EQ(s.level(), (c.lines + c.removed) / 10 + 1);
        EXPECT_EQ(s.settled().size(), 10 * c.fullRows.size() + 4 - 11 * c.removed);
        for (int r = 0; r < 4; ++r)  // what is left of the piece, lowered onto the floor
            EXPECT_EQ(s.grid().occupied(0, r), r < 4 - c.removed) << r;
        EXPECT_EQ(s.timerInterval(), 350 - 50 * c.level);  // spawned inside the tick, before any rise
        s.spawn();
        EXPECT_EQ(s.timerInterval(), 350 - 50 * s.level());
    }
    // Never below the 50 ms of level 6 (the plain formula gives 0 at level 7, then negative).
    GameSession s;
    for (auto [level, ms] : {std::pair{5, 100}, {6, 50}, {7, 50}, {INT_MAX, 50}}) {
        TestAccess::setCounters(s, 0, level);
        EXPECT_EQ(s.gravityInterval(), ms) << level;
    }
    // The ticks alone pass INT_MAX at level ~214 million, then (5 * level)^4: the score saturates.
    TestAccess::setCounters(s, INT_MAX - 100, INT_MAX);
    dropColumnIntoRows(s, {0, 1, 2, 3}, 13);
    EXPECT_EQ(s.score(), INT_MAX);
    EXPECT_EQ(s.lines(), INT_MAX - 96);
}

// The timer side of pause and soft drop is checked on the real timer.
TEST(GameSession, MovesWhilePausedAndGameOverByASettledBlockInColumn5Row22) {
    GameSession s;
    TestAccess::setNextKind(s, 1);
    s.spawn();
    s.togglePause();
    s.moveLeft();
    s.rotate();
    EXPECT_EQ(s.current().blocks[1].x, 4);
    EXPECT_EQ(s.current().angle, 90);
    s.togglePause();

    TestAccess::setNextKind(s, 5);  // kind 5 has no block in (5, 22)
    s.spawn();
    s.lock();
    EXPECT_FALSE(s.isGameOver());
    TestAccess::current(s).layout(0, nullptr);
    TestAccess::current(s).translate(5, 22);
    s.lock();
    EXPECT_TRUE(s.isGameOver());
    EXPECT_EQ(s.timerInterval(), 0);
    s.reset();
    EXPECT_TRUE(!s.isGameOver() && s.settled().empty());
}

// rebuildGrid and clearRows against a plain recomputation on random heaps, with overlapping blocks
// and blocks below the floor and above the well: while a row of the well is full, remove the
// lowest and lower everything above it.
TEST(GameSession, ClearRowsMatchesAPlainRecomputation) {
    std::mt19937 rng(12345);
    auto gridOf = [](const std::vector<Block>& heap) {  // column-major, 1 for a settled cell
        std::array<std::uint8_t, OccupancyGrid::kCells> g{};
        for (const Block& b : heap)
            if (b.x >= 0 && b.x < OccupancyGrid::kColumns && b.y >= 0 && b.y < OccupancyGrid::kRows)
                g[static_cast<int>(b.y) + OccupancyGrid::kRows * static_cast<int>(b.x)] = 1;
        return g;
    };
    for (int board = 0; board < 400; ++board) {
        GameSession s;
        const int level = 1 + static_cast<int>(rng() % 3);
        TestAccess::setCounters(s, 0, level);
        std::vector<Block> heap;
        const int denseTop = static_cast<int>(rng() % 24);
        for (int r = -2; r < 24; ++r)
            for (int c = 0; c < OccupancyGrid::kColumns; ++c)
                for (unsigned percent : {r < denseTop ? 95u : 30u, 5u})  // some cells twice
                    if (rng() % 100 < percent) heap.push_back(blockAt(c, r));
        std::shuffle(heap.begin(), heap.end(), rng);
        TestAccess::settled(s) = heap;
        s.rebuildGrid();
        ASSERT_EQ(s.grid().bytes(), gridOf(heap)) << "board " << board;

        int removed = 0;
        for (int r = 0; r < OccupancyGrid::kRows; ++r) {
            const auto g = gridOf(heap);
            int filled = 0;
            for (int c = 0; c < OccupancyGrid::kColumns; ++c) filled += g[r + OccupancyGrid::kRows * c];
            if (filled < OccupancyGrid::kColumns) continue;
            std::erase_if(heap, [&](const Block& b) { return b.y == r; });
            for (Block& b : heap) b.y -= b.y > r ? 1 : 0;
            ++removed, --r;  // look at this row again
        }
        s.clearRows();
        ASSERT_EQ(cells(s.settled()), cells(heap)) << "board " << board;
        ASSERT_EQ(s.grid().bytes(), gridOf(heap)) << "board " << board;
        EXPECT_EQ(s.lines(), removed);
        EXPECT_EQ(s.score(), static_cast<int>(std::min(std::pow(5.0 * level, removed), double(INT_MAX))));
    }
}
