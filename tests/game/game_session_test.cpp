#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <random>
#include <vector>

#include "game/game_session.h"

namespace {

// Settles blocks filling `rows` in every column except `gap`.
void fillRows(GameSession& s, std::initializer_list<int> rows, int gap = 0) {
    for (int r : rows)
        for (int c = 0; c < OccupancyGrid::kColumns; ++c) {
            if (c == gap) continue;
            Block b;
            b.translate(static_cast<float>(c), static_cast<float>(r));
            s.settledForTest().push_back(b);
        }
    s.rebuildGrid();
}

// Places a column of four with its lowest block at (column, bottom) and ticks until it locks.
// Returns the number of ticks.
int dropColumn(GameSession& s, int column, int bottom) {
    s.currentForTest().layout(1, nullptr);
    s.currentForTest().translate(static_cast<float>(column), static_cast<float>(bottom + 3));
    int ticks = 0;
    while (s.current().blocks[0].y != 22 && ticks < 100) {  // the lock spawns a new piece at row 22
        s.tick();
        ++ticks;
    }
    return ticks;
}

// Each block's cell, in heap order.
std::vector<std::pair<int, int>> cells(const std::vector<Block>& blocks) {
    std::vector<std::pair<int, int>> out;
    for (const Block& b : blocks) out.emplace_back(b.column(), b.row());
    return out;
}

}  // namespace

TEST(GameSession, ColumnOfFourFallsTwentyTicksAndScores21) {
    GameSession s(false);
    s.setNextKindForTest(1);
    s.spawn();
    EXPECT_EQ(s.level(), 1);
    EXPECT_EQ(s.score(), 0);
    EXPECT_EQ(s.lines(), 0);
    EXPECT_EQ(s.timerInterval(), 300);
    EXPECT_EQ(s.current().blocks[3].y, 19);
    s.tick();
    EXPECT_EQ(s.current().blocks[3].y, 18);
    EXPECT_EQ(s.score(), 1);
    for (int t = 2; t <= 19; ++t) s.tick();
    EXPECT_EQ(s.current().blocks[3].y, 0);
    EXPECT_TRUE(s.landed());
    EXPECT_TRUE(s.settled().empty());
    s.tick();  // the 20th tick locks: 20 tick points plus 1 for a lock without rows
    EXPECT_EQ(s.score(), 21);
    EXPECT_FALSE(s.landed());
    EXPECT_EQ(cells(s.settled()), (std::vector<std::pair<int, int>>{{5, 3}, {5, 2}, {5, 1}, {5, 0}}));
    EXPECT_EQ(s.current().blocks[0].y, 22);  // the next piece stands at its spawn cells
    EXPECT_TRUE(s.grid().occupied(5, 0));
    EXPECT_FALSE(s.isGameOver());
}

TEST(GameSession, RemovedRowsScoreByLevelAndPower) {
    {  // one row at level 1: 2 ticks + 5; the rest of the column moves down one row
        GameSession s(false);
        fillRows(s, {0});
        EXPECT_EQ(dropColumn(s, 0, 0), 2);
        EXPECT_EQ(s.score(), 2 + 5);
        EXPECT_EQ(s.lines(), 1);
        EXPECT_EQ(cells(s.settled()), (std::vector<std::pair<int, int>>{{0, 2}, {0, 1}, {0, 0}}));
    }
    {  // four rows at once
        GameSession s(false);
        fillRows(s, {0, 1, 2, 3});
        dropColumn(s, 0, 0);
        EXPECT_EQ(s.score(), 2 + 625);
        EXPECT_EQ(s.lines(), 4);
        EXPECT_TRUE(s.settled().empty());
    }
    {  // one row at level 2
        GameSession s(false);
        s.setLinesForTest(10);
        s.setLevelForTest(2);
        fillRows(s, {0});
        dropColumn(s, 0, 0);
        EXPECT_EQ(s.score(), 2 * 2 + 10);
        EXPECT_EQ(s.level(), 2);
    }
    {  // rows 0 and 2 full, row 1 not: both go in one lock; row 1 drops to row 0
        GameSession s(false);
        fillRows(s, {0, 2});
        fillRows(s, {1}, 7);
        s.settledForTest().erase(s.settledForTest().begin() + 20);  // row 1 now lacks column 0 too
        s.rebuildGrid();
        dropColumn(s, 0, 0);
        EXPECT_EQ(s.score(), 2 + 25);
        EXPECT_EQ(s.lines(), 2);
        for (int c = 0; c < OccupancyGrid::kColumns; ++c) EXPECT_EQ(s.grid().occupied(c, 0), c != 7) << c;
        EXPECT_TRUE(s.grid().occupied(0, 1));
        EXPECT_EQ(s.settled().size(), 11u);
    }
}

TEST(GameSession, LevelRisesAtTenLinesAndTheNextSpawnGetsTheSpeed) {
    GameSession s(false);
    s.setLinesForTest(9);
    fillRows(s, {0});
    dropColumn(s, 0, 0);
    EXPECT_EQ(s.lines(), 10);
    EXPECT_EQ(s.level(), 2);
    EXPECT_EQ(s.timerInterval(), 300);  // spawned inside the tick, before the level changed
    s.spawn();
    EXPECT_EQ(s.timerInterval(), 250);

    // The interval never drops below the 50 ms of level 6 (it used to reach 0 and go negative).
    const int levels[] = {5, 6, 7, 8, 100, INT_MAX};
    const int expected[] = {100, 50, 50, 50, 50, 50};
    for (int i = 0; i < 6; ++i) {
        s.setLevelForTest(levels[i]);
        EXPECT_EQ(s.gravityInterval(), expected[i]) << levels[i];
    }
}

TEST(GameSession, ScoreSaturatesInsteadOfOverflowing) {
    GameSession s(false);
    s.setLinesForTest(INT_MAX - 100);  // level ~214 million from the first tick on
    fillRows(s, {0, 1, 2, 3});
    s.currentForTest().layout(1, nullptr);
    s.currentForTest().translate(0, 13);
    for (int t = 0; t < 30; ++t) s.tick();  // the ticks alone pass INT_MAX, then 4 rows score
    EXPECT_EQ(s.score(), INT_MAX);
    EXPECT_EQ(s.lines(), INT_MAX - 96);
    s.setLevelForTest(1000);
    s.clearRows();  // nothing full: adds 1, still saturated
    EXPECT_EQ(s.score(), INT_MAX);
}

TEST(GameSession, SoftDropPauseAndMovesWhilePaused) {
    GameSession s(false);
    s.setNextKindForTest(1);
    s.spawn();
    s.softDrop();
    EXPECT_EQ(s.timerInterval(), 25);
    s.togglePause();
    EXPECT_TRUE(s.paused());
    EXPECT_EQ(s.timerInterval(), 0);
    s.softDrop();
    EXPECT_EQ(s.timerInterval(), 0);
    s.moveLeft();
    s.rotate();
    EXPECT_EQ(s.current().blocks[1].x, 4);
    EXPECT_EQ(s.current().angle, 90);
    s.togglePause();  // resumes at the level's speed, not the soft drop's
    EXPECT_FALSE(s.paused());
    EXPECT_EQ(s.timerInterval(), 300);
    s.softDrop();
    s.spawn();
    EXPECT_EQ(s.timerInterval(), 300);
}

TEST(GameSession, GameOverByASettledBlockInColumn5Row22) {
    GameSession s(false);
    s.setNextKindForTest(5);  // kind 5 has no block in (5, 22)
    s.spawn();
    s.lock();
    EXPECT_FALSE(s.isGameOver());
    EXPECT_EQ(s.timerInterval(), 300);
    s.currentForTest().layout(0, nullptr);
    s.currentForTest().translate(5, 22);
    s.lock();
    EXPECT_TRUE(s.isGameOver());
    EXPECT_EQ(s.timerInterval(), 0);
    EXPECT_TRUE(s.isGameOver());
    s.reset();
    EXPECT_FALSE(s.isGameOver());
    EXPECT_TRUE(s.settled().empty());
    EXPECT_EQ(s.score(), 0);
    EXPECT_EQ(s.level(), 1);

    s.setNextKindForTest(1);
    const Piece p = s.preview();
    EXPECT_EQ(cells(std::vector<Block>(p.blocks.begin(), p.blocks.end())),
              (std::vector<std::pair<int, int>>{{0, 0}, {0, -1}, {0, -2}, {0, -3}}));
    EXPECT_EQ(p.blocks[0].texture, &s.blockTextures()[1]);
}

// clearRows and rebuildGrid against a plain recomputation: remove the lowest full row while any
// row of the well is full, shifting everything above it down.
TEST(GameSession, ClearRowsMatchesAPlainRecomputation) {
    std::mt19937 rng(12345);
    for (int board = 0; board < 400; ++board) {
        GameSession s(false);
        const int level = 1 + static_cast<int>(rng() % 3);
        s.setLevelForTest(level);
        std::vector<Block> heap;
        const int denseTop = static_cast<int>(rng() % 24);
        for (int r = -2; r < 24; ++r)
            for (int c = 0; c < OccupancyGrid::kColumns; ++c) {
                const unsigned chance = r < denseTop ? 95 : 30;
                for (int copies = 0; copies < 2; ++copies)  // overlapping blocks happen after rotations
                    if (rng() % 100 < (copies == 0 ? chance : 5)) {
                        Block b;
                        b.translate(static_cast<float>(c), static_cast<float>(r));
                        heap.push_back(b);
                    }
            }
        std::shuffle(heap.begin(), heap.end(), rng);
        s.settledForTest() = heap;
        s.rebuildGrid();
        auto occupied = [](const std::vector<Block>& h, int c, int r) {
            return std::any_of(h.begin(), h.end(), [&](const Block& b) { return b.x == c && b.y == r; });
        };
        for (int c = 0; c < OccupancyGrid::kColumns; ++c)
            for (int r = 0; r < OccupancyGrid::kRows; ++r)
                ASSERT_EQ(s.grid().occupied(c, r), occupied(heap, c, r)) << "board " << board;

        int removed = 0;
        for (;;) {
            int full = -1;
            for (int r = 0; r < OccupancyGrid::kRows && full < 0; ++r) {
                bool all = true;
                for (int c = 0; c < OccupancyGrid::kColumns; ++c) all = all && occupied(heap, c, r);
                if (all) full = r;
            }
            if (full < 0) break;
            std::vector<Block> next;
            for (Block b : heap) {
                if (b.y == full) continue;
                if (b.y > full) b.y -= 1;
                next.push_back(b);
            }
            heap = next;
            ++removed;
        }
        s.clearRows();
        ASSERT_EQ(cells(s.settled()), cells(heap)) << "board " << board;
        EXPECT_EQ(s.lines(), removed);
        EXPECT_EQ(s.score(), static_cast<int>(std::min(std::pow(5.0 * level, removed), double(INT_MAX))));
        for (int c = 0; c < OccupancyGrid::kColumns; ++c)
            for (int r = 0; r < OccupancyGrid::kRows; ++r) ASSERT_EQ(s.grid().occupied(c, r), occupied(heap, c, r));
    }
}
