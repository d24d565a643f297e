// SPDX-License-Identifier: MIT
// The session on SDL's real timer thread. Time bounds are generous: the suite also runs under
// ThreadSanitizer on a busy machine.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "game/game_session.h"

namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point t0) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count());
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class GravityTimer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0); }
    // Destroyed while its timer may still run: the destructor stops it and waits out a tick.
    void TearDown() override {
        session.reset();
        SDL_Quit();
    }
    // Polls `done` with the session held; the milliseconds waited, or -1 after 4 s.
    template <typename Done>
    long waitFor(Done done) {
        for (const auto t0 = Clock::now(); msSince(t0) <= 4000; sleepMs(1)) {
            auto held = s.hold();
            if (done()) return msSince(t0);
        }
        return -1;
    }
    std::unique_ptr<GameSession> session = std::make_unique<GameSession>(true);
    GameSession& s = *session;
};

}  // namespace

TEST_F(GravityTimer, GravitySoftDropPauseAndLock) {
    s.togglePause();  // stops a timer that never ran
    s.togglePause();
    s.setNextKindForTest(1);
    s.spawn();
    // Ticks 300 ms apart at level 1, each moving the piece.
    EXPECT_GE(waitFor([&] { return s.score() >= 2 && s.current().blocks[3].y == 19 - s.score(); }), 450);
    s.softDrop();
    const long sixMore = waitFor([&] { return s.score() >= 8; });
    EXPECT_GE(sixMore, 100);
    EXPECT_LT(sixMore, 1500);  // 1800 ms at the level's speed

    int frozen = 0;
    {
        auto held = s.hold();
        frozen = s.score();
        sleepMs(100);  // the 25 ms timer fires meanwhile and its tick waits for the session
        s.togglePause();
    }
    sleepMs(200);
    s.softDrop();  // ignored while paused
    sleepMs(100);
    EXPECT_EQ(s.score(), frozen);
    s.togglePause();  // back at 300 ms, not 25
    EXPECT_GE(waitFor([&] { return s.score() > frozen; }), 200);
    // The timer that the locking tick starts carries the next piece down.
    s.softDrop();
    EXPECT_GE(waitFor([&] { return !s.settled().empty() && s.current().blocks[0].y < 22; }), 0);
}

// Key operations, counters and whole-frame reads from the main thread while gravity runs at 25 ms,
// with games restarted under the running timer.
TEST_F(GravityTimer, MainThreadOperationsWhileGravityRuns) {
    std::mt19937 rng(7);
    int lastScore = 0, scoreRises = 0;
    for (auto t0 = Clock::now(), gameStart = t0 - std::chrono::seconds(2); msSince(t0) < 2000;
         std::this_thread::sleep_for(std::chrono::microseconds(100))) {
        if (s.isGameOver() || msSince(gameStart) > 1000) {
            gameStart = Clock::now();
            auto held = s.hold();  // a new game on a heap up to row 15 with a gap in each row
            s.reset();
            s.spawn();
            s.softDrop();
            for (int r = 0; r < 16; ++r)
                for (unsigned c = 0, gap = rng() % 11; c < 11; ++c)
                    if (c != gap)
                        s.settledForTest().emplace_back().translate(static_cast<float>(c), static_cast<float>(r));
            s.rebuildGrid();
            lastScore = 0;
        }
        switch (rng() % 6) {
            case 0: s.moveLeft(); break;
            case 1: s.moveRight(); break;
            case 2: s.rotate(); break;
            case 3:  // every soft drop restarts the timer: only after a spawn, or ticks would starve
                if (s.timerInterval() != 25) s.softDrop();
                break;
            case 4:
                if (rng() % 50 == 0) s.togglePause(), s.rotate(), s.togglePause();
                break;
            default: {  // one frame: everything seen together is consistent
                auto held = s.hold();
                OccupancyGrid expected;
                for (const Block& b : s.settled()) expected.set(b.column(), b.row());
                ASSERT_EQ(expected.bytes(), s.grid().bytes());
                for (const Block& b : s.current().blocks) ASSERT_TRUE(b.x >= 0 && b.x <= 10 && b.y >= -2);
                ASSERT_LT(s.preview().kind, Piece::kKinds);
                ASSERT_EQ(s.level(), s.lines() / 10 + 1);
                ASSERT_GE(s.score(), lastScore);
                scoreRises += s.score() > lastScore;
                lastScore = s.score();
            }
        }
    }
    EXPECT_GE(scoreRises, 20);  // gravity ticked meanwhile
    SDL_Quit();                 // with the timer running: the game's order, SDL first, the session at exit
    session.reset();
}
