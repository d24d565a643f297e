// SPDX-License-Identifier: MIT
// Gravity on SDL's real timer thread: the timer only posts events, and the session ticks once for
// each event of the running timer that the main thread hands over, however late; events of a
// stopped or restarted timer are dropped. Also run under ThreadSanitizer.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "game/game_session.h"

namespace {

// The serials of the gravity events posted while waiting `ms` milliseconds.
std::vector<int> eventsAfter(int ms) {
    SDL_Delay(static_cast<Uint32>(ms));
    std::vector<int> serials;
    for (SDL_Event e; SDL_PollEvent(&e);)
        if (e.type == SDL_USEREVENT) serials.push_back(e.user.code);
    return serials;
}

}  // namespace

TEST(GravityEvents, TickOnTheMainThreadOnlyForTheRunningTimer) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);  // the event queue comes with the video service
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
    GameSession s;
    s.spawn();  // every 300 ms at level 1; any piece falls further than the ticks here take it
    const std::vector<int> slow = eventsAfter(700);
    EXPECT_TRUE(slow.size() >= 1 && slow.size() <= 5) << slow.size() << " steps of 300 ms in 700 ms";
    for (int serial : slow) s.onGravityEvent(serial);
    EXPECT_EQ(s.score(), static_cast<int>(slow.size())) << "a tick for each event handed over, and nothing else";

    s.softDrop();  // a slow frame: every event of the 25 ms timer waits in the queue and ticks once
    const std::vector<int> fast = eventsAfter(300);
    const int before = s.score();
    for (int serial : fast) s.onGravityEvent(serial);
    for (int serial : slow) s.onGravityEvent(serial);  // the stopped timer's: dropped
    EXPECT_GE(s.score() - before, 4) << fast.size() << " events in 300 ms at 25 ms a step";
    EXPECT_LE(s.score() - before, static_cast<int>(fast.size()));
    const std::vector<int> beforePause = eventsAfter(100);
    s.togglePause();
    const int frozen = s.score();
    for (int serial : beforePause) s.onGravityEvent(serial);
    for (int serial : eventsAfter(100)) s.onGravityEvent(serial);
    EXPECT_EQ(s.score(), frozen);
    SDL_Quit();  // the game's order: SDL first, the session at exit
}
