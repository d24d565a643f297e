// The session on SDL's real timer thread. Time bounds are generous: the suite also runs under
// ThreadSanitizer on a busy machine.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
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

// Polls until `done` holds; returns the milliseconds waited, -1 after timeoutMs.
long waitFor(const std::function<bool()>& done, long timeoutMs = 4000) {
    const auto t0 = Clock::now();
    while (!done()) {
        if (msSince(t0) > timeoutMs) return -1;
        sleepMs(1);
    }
    return msSince(t0);
}

class GravityTimer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0); }
    // Destroyed while its timer may still run: the destructor stops it and waits out a tick.
    void TearDown() override {
        session.reset();
        SDL_Quit();
    }
    std::unique_ptr<GameSession> session = std::make_unique<GameSession>(true);
    GameSession& s = *session;
};

}  // namespace

TEST_F(GravityTimer, GravitySoftDropAndPause) {
    s.setNextKindForTest(1);
    s.spawn();
    const long twoTicks = waitFor([&] { return s.score() >= 2; });
    EXPECT_GE(twoTicks, 450);  // 300 ms apart at level 1
    {
        auto held = s.hold();
        EXPECT_EQ(s.current().blocks[3].y, 19 - s.score());  // every tick so far moved the piece
    }
    s.softDrop();
    const long sixMore = waitFor([&] { return s.score() >= 8; });
    EXPECT_GE(sixMore, 100);
    EXPECT_LT(sixMore, 1500);  // 1800 ms at the level's speed

    s.togglePause();
    const int frozen = s.score();
    sleepMs(200);
    s.softDrop();  // ignored while paused
    sleepMs(100);
    EXPECT_EQ(s.score(), frozen);
    s.togglePause();  // back at 300 ms, not 25
    EXPECT_GE(waitFor([&] { return s.score() > frozen; }), 200);
}

TEST_F(GravityTimer, TickFiredBeforeTheStopIsDropped) {
    s.togglePause();  // stops a timer that never ran, then twice more below
    s.togglePause();
    s.togglePause();
    s.togglePause();
    s.spawn();
    s.softDrop();
    ASSERT_GE(waitFor([&] { return s.score() >= 1; }), 0);
    int frozen = 0;
    {
        auto held = s.hold();
        frozen = s.score();
        sleepMs(100);  // the 25 ms timer fires meanwhile and its tick waits for the session
        s.togglePause();
    }
    sleepMs(150);
    EXPECT_EQ(s.score(), frozen);
}

TEST_F(GravityTimer, LockInsideATickRestartsItsOwnTimer) {
    s.setLinesForTest(90);
    s.setLevelForTest(10);  // level 10 still falls at 50 ms
    s.setNextKindForTest(1);
    s.spawn();
    EXPECT_EQ(s.timerInterval(), 50);
    {
        auto held = s.hold();
        s.currentForTest().translate(0, -17);  // lowest block in row 2
    }
    auto atHold = [&](const std::function<bool()>& f) {
        return [&, f] {
            auto held = s.hold();
            return f();
        };
    };
    ASSERT_GE(waitFor(atHold([&] { return s.settled().size() == 4; })), 0);
    // The timer that the locking tick started carries the next piece down.
    ASSERT_GE(waitFor(atHold([&] { return s.current().blocks[0].y <= 19; })), 0);
}

// Key operations, counters and whole-frame reads from the main thread while gravity runs at 25 ms,
// with games restarted under the running timer.
TEST_F(GravityTimer, MainThreadOperationsWhileGravityRuns) {
    std::mt19937 rng(7);
    int lastScore = 0;
    std::size_t lastSettled = 0;
    int heapChanges = 0;
    auto newGame = [&] {
        s.reset();
        s.spawn();
        s.softDrop();
        auto held = s.hold();  // a heap up to row 15 with one gap per row: pieces lock soon
        for (int r = 0; r < 16; ++r) {
            const unsigned gap = rng() % 11;
            for (unsigned c = 0; c < 11; ++c) {
                if (c == gap) continue;
                s.settledForTest().emplace_back();
                s.settledForTest().back().translate(static_cast<float>(c), static_cast<float>(r));
            }
        }
        s.rebuildGrid();
        lastScore = 0;
        lastSettled = 0;
    };
    newGame();
    const auto t0 = Clock::now();
    auto gameStart = t0;
    while (msSince(t0) < 2000) {
        switch (rng() % 9) {
        case 0: s.moveLeft(); break;
        case 1: s.moveRight(); break;
        case 2: s.rotate(); break;
        case 3:  // every soft drop restarts the timer: only after a spawn, or ticks would starve
            if (s.timerInterval() != 25) s.softDrop();
            break;
        case 4:
            if (rng() % 50 == 0) {
                s.togglePause();
                s.rotate();
                s.togglePause();
            }
            break;
        case 5: EXPECT_LT(s.preview().kind, Piece::kKinds); break;
        case 6:
            if (s.isGameOver() || msSince(gameStart) > 1000) {
                gameStart = Clock::now();
                newGame();
            }
            break;
        default: {  // one frame: everything seen together is consistent
            auto held = s.hold();
            OccupancyGrid expected;
            for (const Block& b : s.settled()) expected.set(b.column(), b.row());
            ASSERT_EQ(expected.bytes(), s.grid().bytes());
            for (const Block& b : s.current().blocks) ASSERT_TRUE(b.x >= 0 && b.x <= 10 && b.y >= -2);
            ASSERT_EQ(s.level(), s.lines() == 0 ? 1 : s.lines() / 10 + 1);
            ASSERT_GE(s.score(), lastScore);
            lastScore = s.score();
            heapChanges += lastSettled != 0 && s.settled().size() != lastSettled;
            lastSettled = s.settled().size();
        }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    EXPECT_GE(heapChanges, 3);  // ticks locked pieces meanwhile
}

TEST_F(GravityTimer, SessionOutlivesSdlWithItsTimerRunning) {
    s.spawn();
    s.softDrop();
    sleepMs(60);
    SDL_Quit();  // the game's order: SDL goes first, the session at process exit
    session.reset();
    ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
}
