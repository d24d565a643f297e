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

// Polls until `done` holds; false after timeoutMs.
bool waitFor(const std::function<bool()>& done, long timeoutMs) {
    const auto t0 = Clock::now();
    while (!done()) {
        if (msSince(t0) > timeoutMs) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class GravityTimer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
        session = std::make_unique<GameSession>(true);
    }
    // Destroyed while its timer may still run: the destructor must stop it and wait out a tick.
    void TearDown() override {
        session.reset();
        SDL_Quit();
    }
    std::unique_ptr<GameSession> session;
};

}  // namespace

TEST_F(GravityTimer, GravityMovesThePieceAtLevel1) {
    GameSession& s = *session;
    s.setNextKindForTest(1);
    s.spawn();
    const auto t0 = Clock::now();
    ASSERT_TRUE(waitFor([&] { return s.score() >= 2; }, 5000));
    const long elapsed = msSince(t0);
    EXPECT_GE(elapsed, 450);  // two ticks 300 ms apart
    EXPECT_LE(elapsed, 4000);
    auto held = s.hold();
    EXPECT_EQ(s.current().blocks[3].y, 19 - s.score());  // every tick so far moved the piece
}

TEST_F(GravityTimer, SoftDropSpeedsUpAndPauseStopsTicks) {
    GameSession& s = *session;
    s.setNextKindForTest(1);
    s.spawn();
    s.softDrop();
    auto t0 = Clock::now();
    ASSERT_TRUE(waitFor([&] { return s.score() >= 8; }, 4000));
    EXPECT_LT(msSince(t0), 1500);  // 2400 ms at the level's speed

    s.togglePause();
    const int frozen = s.score();
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(s.score(), frozen);
    s.softDrop();  // ignored while paused
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(s.score(), frozen);

    s.togglePause();  // back at 300 ms, not 25
    t0 = Clock::now();
    ASSERT_TRUE(waitFor([&] { return s.score() > frozen; }, 4000));
    EXPECT_GE(msSince(t0), 200);
}

TEST_F(GravityTimer, TickFiredBeforeTheStopIsDropped) {
    GameSession& s = *session;
    s.togglePause();  // stops a timer that never ran
    s.togglePause();
    s.togglePause();
    s.togglePause();
    s.setNextKindForTest(1);
    s.spawn();
    s.softDrop();
    ASSERT_TRUE(waitFor([&] { return s.score() >= 1; }, 4000));
    int frozen = 0;
    {
        auto held = s.hold();
        frozen = s.score();
        // The 25 ms timer fires meanwhile and its tick waits for the session.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        s.togglePause();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(s.score(), frozen);
}

TEST_F(GravityTimer, LockInsideATickRestartsItsOwnTimer) {
    GameSession& s = *session;
    s.setLinesForTest(90);
    s.setLevelForTest(10);  // level 10 still falls at 50 ms
    s.setNextKindForTest(1);
    s.spawn();
    EXPECT_EQ(s.timerInterval(), 50);
    {
        auto held = s.hold();
        s.currentForTest().translate(0, -17);  // lowest block in row 2
    }
    auto settledCount = [&] {
        auto held = s.hold();
        return s.settled().size();
    };
    ASSERT_TRUE(waitFor([&] { return settledCount() == 4; }, 4000));
    // The timer that the locking tick started carries the next piece down.
    ASSERT_TRUE(waitFor(
        [&] {
            auto held = s.hold();
            return s.current().blocks[0].y <= 19;
        },
        4000));
}

// Key operations, counters and whole-frame reads from the main thread while gravity runs at 25 ms,
// with games restarted under the running timer.
TEST_F(GravityTimer, MainThreadOperationsWhileGravityRuns) {
    GameSession& s = *session;
    std::mt19937 rng(7);
    // A heap up to row 15 with one gap per row, so that pieces lock often and games end.
    auto prefill = [](GameSession& s, std::mt19937& rng) {
        auto held = s.hold();
        for (int r = 0; r < 16; ++r) {
            const int gap = static_cast<int>(rng() % 11);
            for (int c = 0; c < 11; ++c) {
                if (c == gap) continue;
                Block b;
                b.translate(static_cast<float>(c), static_cast<float>(r));
                s.settledForTest().push_back(b);
            }
        }
        s.rebuildGrid();
    };
    s.spawn();
    s.softDrop();
    prefill(s, rng);
    int lastScore = 0;
    std::size_t lastSettled = 0;
    int heapChanges = 0;
    int gamesOver = 0;
    const auto t0 = Clock::now();
    auto lastGame = t0;
    while (msSince(t0) < 2000) {
        switch (rng() % 10) {
        case 0: s.moveLeft(); break;
        case 1: s.moveRight(); break;
        case 2: s.rotate(); break;
        case 3:  // every soft drop restarts the timer, so only after a spawn, or ticks would starve
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
        case 9:
            if (s.isGameOver() ? ++gamesOver : msSince(lastGame) > 1000) {
                lastGame = Clock::now();
                s.reset();
                s.spawn();
                s.softDrop();
                prefill(s, rng);
                lastScore = 0;
                lastSettled = 0;
            }
            break;
        case 7: EXPECT_GE(s.level(), 1); break;
        case 8: {  // one frame: everything seen together must be consistent
            auto held = s.hold();
            OccupancyGrid expected;
            for (const Block& b : s.settled()) expected.set(b.column(), b.row());
            ASSERT_EQ(expected.bytes(), s.grid().bytes());
            for (const Block& b : s.current().blocks) ASSERT_TRUE(b.x >= 0 && b.x <= 10 && b.y >= -2);
            ASSERT_EQ(s.level(), s.lines() == 0 ? 1 : s.lines() / 10 + 1);
            ASSERT_GE(s.score(), lastScore);
            lastScore = s.score();
            if (lastSettled != 0 && s.settled().size() != lastSettled) ++heapChanges;
            lastSettled = s.settled().size();
            break;
        }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    EXPECT_GE(heapChanges, 3);  // ticks locked pieces meanwhile
    RecordProperty("heapChanges", heapChanges);
    RecordProperty("gamesOver", gamesOver);
}

TEST_F(GravityTimer, SessionOutlivesSdlWithItsTimerRunning) {
    session->spawn();
    session->softDrop();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    SDL_Quit();  // the game's order: SDL goes first, the session at process exit
    session.reset();
    ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
}
