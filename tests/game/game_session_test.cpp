// SPDX-License-Identifier: MIT
// The session's rules, tick by tick: falling, landing and locking, rows removed and scored by
// level, the level and gravity's speed, pause and soft drop, game over.
#include <gtest/gtest.h>

#include <climits>

#include "game/game_session.h"
#include "support/test_access.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

Cells cellsOf(const std::vector<Block>& blocks) {
    Cells out;
    for (const Block& b : blocks) out.emplace_back(b.column(), b.row());
    return out;
}

// Settles `heap`, then drops a column of four into column 0 with its lowest block in row
// `lowest` and ticks until it locks; the lock spawns the next piece in row 22.
void dropColumn(GameSession& s, const Cells& heap, int lowest = 0) {
    for (auto [c, r] : heap) TestAccess::settled(s).emplace_back().translate(float(c), float(r));
    s.rebuildGrid();
    TestAccess::current(s).layout(1, nullptr);
    TestAccess::current(s).translate(0, float(lowest + 3));
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

TEST(GameSession, PiecesFallAndLockFullRowsGoScoredByLevelAndTheLevelRises) {
    struct Case {
        Cells heap;
        int lowest, lines, level;  // before the drop: the column's lowest row, the counters
        // The level for each tick (a row fallen each, or landing on the floor; one more locks),
        // then (5 * level) ^ rows removed, 1 for none.
        int score, linesAfter, levelAfter;
        int interval;  // of the piece spawned by the lock, before the level rises
        Cells left;
    };
    Cells strays = rowsBut0({0, 2});  // rows 0 and 2 go in one lock; blocks outside the well follow
    strays.insert(strays.end(), {{3, 22}, {4, -1}});
    const Case cases[] = {
        {{}, 18, 0, 1, 20, 0, 1, 300, {{0, 3}, {0, 2}, {0, 1}, {0, 0}}},  // from below the top to the floor
        {rowsBut0({0, 1, 2, 3}), 0, 0, 1, 627, 4, 1, 300, {}},
        {rowsBut0({0}), 0, 10, 2, 14, 11, 2, 250, {{0, 2}, {0, 1}, {0, 0}}},
        {strays, 0, 0, 1, 27, 2, 1, 300, {{3, 20}, {4, -1}, {0, 1}, {0, 0}}},
        {rowsBut0({0}), 0, 9, 1, 7, 10, 2, 300, {{0, 2}, {0, 1}, {0, 0}}},
    };
    for (const Case& c : cases) {
        GameSession s;
        TestAccess::setCounters(s, c.lines, c.level);
        dropColumn(s, c.heap, c.lowest);
        EXPECT_EQ(s.score(), c.score);
        EXPECT_EQ(s.lines(), c.linesAfter);
        EXPECT_EQ(s.level(), c.levelAfter);
        EXPECT_EQ(cellsOf(s.settled()), c.left) << c.score;
        int inside = 0, marked = 0, occupied = 0;  // the grid holds exactly the settled cells in the well
        for (auto [col, row] : c.left) inside += OccupancyGrid::inside(col, row), marked += s.grid().occupied(col, row);
        for (auto byte : s.grid().bytes()) occupied += byte;
        EXPECT_TRUE(marked == inside && occupied == inside);
        EXPECT_EQ(s.timerInterval(), c.interval);
    }
    // Gravity speeds up to 50 ms at level 6 and stays there; the score saturates.
    GameSession s;
    for (auto [level, ms] : {std::pair{2, 250}, {6, 50}, {7, 50}, {INT_MAX, 50}}) {
        TestAccess::setCounters(s, 0, level);
        s.spawn();
        EXPECT_EQ(s.timerInterval(), ms) << level;
    }
    TestAccess::setCounters(s, INT_MAX - 100, INT_MAX);
    dropColumn(s, rowsBut0({0, 1, 2, 3}), 10);
    EXPECT_EQ(s.score(), INT_MAX);
    EXPECT_EQ(s.lines(), INT_MAX - 96);
}

TEST(GameSession, PauseSoftDropAndGameOverByASettledBlockInColumn5Row22) {
    GameSession s;
    TestAccess::setNextKind(s, 1);
    s.spawn();
    s.softDrop();
    EXPECT_EQ(s.timerInterval(), 25);
    s.togglePause();
    EXPECT_EQ(s.timerInterval(), 0);
    s.softDrop();  // ignored while paused; moves still move
    s.moveLeft();
    s.rotate();
    EXPECT_EQ(s.timerInterval(), 0);
    EXPECT_EQ(s.current().blocks[1].x, 4);
    EXPECT_EQ(s.current().angle, 90);
    s.togglePause();
    EXPECT_EQ(s.timerInterval(), 300) << "resuming ends a soft drop";

    TestAccess::setNextKind(s, 5);  // kind 5 has no block in (5, 22)
    s.spawn();
    s.lock();
    EXPECT_FALSE(s.isGameOver());
    TestAccess::setNextKind(s, 0);
    s.spawn();
    s.lock();
    EXPECT_TRUE(s.isGameOver() && s.isGameOver());  // and stays over
    EXPECT_EQ(s.timerInterval(), 0);
    s.reset();
    EXPECT_TRUE(!s.isGameOver() && s.settled().empty() && s.score() == 0 && s.level() == 1);
}
