#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "game/game_session.h"

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

// Settles blocks filling `rows` in every column but 0.
void fillRows(GameSession& s, const std::vector<int>& rows) {
    for (int r : rows)
        for (int c = 1; c < OccupancyGrid::kColumns; ++c) s.settledForTest().push_back(blockAt(c, r));
    s.rebuildGrid();
}

// A column of four standing in column 0 on the floor, ticked until it locks (two ticks).
void dropColumnOnTheFloor(GameSession& s) {
    s.currentForTest().layout(1, nullptr);
    s.currentForTest().translate(0, 3);
    for (int t = 0; t < 100 && s.current().blocks[0].y != 22; ++t) s.tick();  // the lock spawns at row 22
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
    for (int t = 1; t <= 19; ++t) {
        s.tick();
        ASSERT_EQ(s.current().blocks[3].y, 19 - t);
        ASSERT_EQ(s.score(), t);
        ASSERT_EQ(s.landed(), t == 19);
    }
    s.tick();  // the 20th locks: 20 tick points plus 1 for a lock without rows
    EXPECT_EQ(s.score(), 21);
    EXPECT_FALSE(s.landed());
    EXPECT_EQ(cells(s.settled()), (CellList{{5, 3}, {5, 2}, {5, 1}, {5, 0}}));
    EXPECT_TRUE(s.grid().occupied(5, 0));
    EXPECT_EQ(s.current().blocks[0].y, 22);
    EXPECT_FALSE(s.isGameOver());
}

TEST(GameSession, LockScoresRemovedRowsByLevelAndPower) {
    struct Case {
        std::vector<int> fullRows;
        int level;
        int points;  // besides the two ticks' level each
        int removed;
    };
    // Rows 0 and 2 with row 1 not full: both go in one lock.
    const Case cases[] = {{{0}, 1, 5, 1}, {{0, 1, 2, 3}, 1, 625, 4}, {{0}, 2, 10, 1}, {{0, 2}, 1, 25, 2}};
    for (const Case& c : cases) {
        GameSession s(false);
        s.setLinesForTest(10 * (c.level - 1));  // keeps the level through the ticks' update
        s.setLevelForTest(c.level);
        fillRows(s, c.fullRows);
        dropColumnOnTheFloor(s);
        EXPECT_EQ(s.score(), 2 * c.level + c.points) << c.points;
        EXPECT_EQ(s.lines(), 10 * (c.level - 1) + c.removed);
        const std::size_t left = 10 * c.fullRows.size() + 4 - 11 * c.removed;
        ASSERT_EQ(s.settled().size(), left);
        for (std::size_t i = 0; i < left; ++i)  // what is left of the piece, top block first
            EXPECT_EQ(cells(s.settled())[i], std::make_pair(0, static_cast<int>(left - 1 - i)));
    }
}

TEST(GameSession, LevelRisesAtTenLinesAndTheNextSpawnGetsTheSpeed) {
    GameSession s(false);
    s.setLinesForTest(9);
    fillRows(s, {0});
    dropColumnOnTheFloor(s);
    EXPECT_EQ(s.level(), 2);
    EXPECT_EQ(s.timerInterval(), 300);  // spawned inside the tick, before the level changed
    s.spawn();
    EXPECT_EQ(s.timerInterval(), 250);
    // Never below the 50 ms of level 6 (the plain formula gives 0 at level 7, then negative).
    const std::pair<int, int> intervals[] = {{5, 100}, {6, 50}, {7, 50}, {8, 50}, {INT_MAX, 50}};
    for (auto [level, ms] : intervals) {
        s.setLevelForTest(level);
        EXPECT_EQ(s.gravityInterval(), ms) << level;
    }
}

TEST(GameSession, ScoreSaturatesInsteadOfOverflowing) {
    GameSession s(false);
    s.setLinesForTest(INT_MAX - 100);  // level ~214 million from the first tick on
    fillRows(s, {0, 1, 2, 3});
    s.currentForTest().layout(1, nullptr);
    s.currentForTest().translate(0, 13);
    for (int t = 0; t < 30; ++t) s.tick();  // the ticks alone pass INT_MAX, then (5 * level)^4
    EXPECT_EQ(s.score(), INT_MAX);
    EXPECT_EQ(s.lines(), INT_MAX - 96);
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

    s.setNextKindForTest(1);
    const Piece p = s.preview();
    EXPECT_EQ(cells({p.blocks.begin(), p.blocks.end()}), (CellList{{0, 0}, {0, -1}, {0, -2}, {0, -3}}));
    EXPECT_EQ(p.blocks[0].texture, &s.blockTextures()[1]);
}

// rebuildGrid and clearRows against a plain recomputation on random heaps, with overlapping blocks
// and blocks below the floor and above the well: while a row of the well is full, remove the
// lowest and lower everything above it.
TEST(GameSession, ClearRowsMatchesAPlainRecomputation) {
    std::mt19937 rng(12345);
    auto occupied = [](const std::vector<Block>& heap, int c, int r) {
        return std::any_of(heap.begin(), heap.end(), [&](const Block& b) { return b.x == c && b.y == r; });
    };
    auto sameGrid = [&](const GameSession& s, const std::vector<Block>& heap) {
        for (int c = 0; c < OccupancyGrid::kColumns; ++c)
            for (int r = 0; r < OccupancyGrid::kRows; ++r)
                if (s.grid().occupied(c, r) != occupied(heap, c, r)) return false;
        return true;
    };
    for (int board = 0; board < 400; ++board) {
        GameSession s(false);
        const int level = 1 + static_cast<int>(rng() % 3);
        s.setLevelForTest(level);
        std::vector<Block> heap;
        const int denseTop = static_cast<int>(rng() % 24);
        for (int r = -2; r < 24; ++r)
            for (int c = 0; c < OccupancyGrid::kColumns; ++c) {
                if (rng() % 100 < (r < denseTop ? 95u : 30u)) heap.push_back(blockAt(c, r));
                if (rng() % 100 < 5) heap.push_back(blockAt(c, r));
            }
        std::shuffle(heap.begin(), heap.end(), rng);
        s.settledForTest() = heap;
        s.rebuildGrid();
        ASSERT_TRUE(sameGrid(s, heap)) << "board " << board;

        int removed = 0;
        for (int full = 0; full < OccupancyGrid::kRows;) {
            bool all = true;
            for (int c = 0; c < OccupancyGrid::kColumns; ++c) all = all && occupied(heap, c, full);
            if (!all) {
                ++full;
                continue;
            }
            std::vector<Block> next;
            for (Block b : heap)
                if (b.y != full) next.push_back(blockAt(b.column(), b.row() - (b.y > full)));
            heap = next;
            ++removed;
            full = 0;
        }
        s.clearRows();
        ASSERT_EQ(cells(s.settled()), cells(heap)) << "board " << board;
        ASSERT_TRUE(sameGrid(s, heap)) << "board " << board;
        EXPECT_EQ(s.lines(), removed);
        EXPECT_EQ(s.score(), static_cast<int>(std::min(std::pow(5.0 * level, removed), double(INT_MAX))));
    }
}
