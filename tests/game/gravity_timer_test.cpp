// SPDX-License-Identifier: MIT
// Gravity on SDL's real timer thread: the timer only posts events, and the session ticks for each
// event of the running timer when the main thread hands it over, late or not; events of a stopped
// or restarted timer are dropped. Also run under ThreadSanitizer.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "game/game_session.h"
#include "support/test_access.h"

namespace {

class GravityEvents : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);  // the event queue comes with the video service
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
    }
    void TearDown() override { SDL_Quit(); }

    // The serials of the gravity events posted within `ms` milliseconds (after waiting that long).
    static std::vector<int> eventsAfter(int ms) {
        SDL_Delay(static_cast<Uint32>(ms));
        std::vector<int> serials;
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_USEREVENT) serials.push_back(e.user.code);
        return serials;
    }
};

}  // namespace

TEST_F(GravityEvents, TicksRunOnTheMainThreadOnlyForTheRunningTimer) {
    GameSession s;
    TestAccess::setNextKind(s, 1);
    s.spawn();  // every 300 ms at level 1
    const std::vector<int> first = eventsAfter(700);
    ASSERT_GE(first.size(), 1u);
    EXPECT_LE(first.size(), 3u);
    EXPECT_EQ(s.score(), 0) << "the timer itself touches nothing";
    for (int serial : first) s.onGravityEvent(serial);
    EXPECT_EQ(s.score(), static_cast<int>(first.size()));
    EXPECT_EQ(s.current().blocks[3].y, 19 - s.score());

    // A slow frame: every event of the 25 ms timer waits in the queue and each ticks once.
    s.softDrop();
    const std::vector<int> fast = eventsAfter(300);
    EXPECT_GE(fast.size(), 6u);
    int ticks = 0;
    for (int serial : fast) ticks += serial == fast.back();
    const int before = s.score();
    for (int serial : fast) s.onGravityEvent(serial);
    EXPECT_EQ(s.score(), before + ticks);

    // Stale events: the old 300 ms timer's, and everything posted before a pause.
    for (int serial : first) s.onGravityEvent(serial);
    s.softDrop();
    const std::vector<int> beforePause = eventsAfter(100);
    s.togglePause();
    EXPECT_EQ(s.timerInterval(), 0);
    const int frozen = s.score();
    for (int serial : beforePause) s.onGravityEvent(serial);
    for (int serial : eventsAfter(100)) s.onGravityEvent(serial);
    EXPECT_EQ(s.score(), frozen);
    s.togglePause();
    EXPECT_EQ(s.timerInterval(), 300) << "resuming ends a soft drop";
}
