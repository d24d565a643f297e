// SPDX-License-Identifier: MIT
// The Application in a real window with the game's data: the screen changes that frames make,
// every screen drawn without a heap allocation and with the base state kept, what goes before
// SDL_Quit, and every screen played with a gamepad. The key map is played with real key presses by
// the end-to-end tests.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "app/application.h"
#include "files/settings.h"
#include "heap_count.h"
#include "input/gamepad.h"
#include "support/gl_test_window.h"
#include "support/test_access.h"
#include "support/virtual_pad.h"

namespace {

class ApplicationGl : public GlTestWindow {
protected:
    // A new Application, started in a directory with the game's data as the game is; without music, whose decoding on
    // another thread would count among a frame's allocations.
    void SetUp() override {
        GlTestWindow::SetUp();
        if (!available_) return;
        ASSERT_TRUE(symlink(YT_SOURCE_DIR "/data", workDir_.file("data").c_str()) == 0 || errno == EEXIST);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        settings_.music = 0;
        app_.init(&settings_, SDL_GetVideoSurface());  // the projection is the one the window has
    }
    // Five frames of 1 ms of the current screen allocate nothing (the driver's own allocations
    // aside), and each leaves the base state.
    void expectCleanFrames() {
        const long before = allocationCount();
        countAllocations(true);
        for (int i = 0; i < 5; ++i) app_.drawFrame(1);
        countAllocations(false);
        EXPECT_EQ(allocationCount(), before) << "screen " << app_.state();
        expectBaseState("screen " + std::to_string(app_.state()));
    }
    Settings settings_;
    Application app_;
};

TEST_F(ApplicationGl, ScreensHandOverAtTheirTimeAndDrawWithoutAllocatingOrChangingTheBaseState) {
    // Each intro screen hands over on the frame its image is done.
    for (auto [next, ms] : {std::pair{Presents, 4000.0f}, {GameLogo, 5000}, {MainMenu, 1000}}) {
        expectCleanFrames();
        app_.drawFrame(ms - 6);  // after the five clean frames, 1 ms short of done
        EXPECT_NE(app_.state(), next);
        app_.drawFrame(1);
        EXPECT_EQ(app_.state(), next);
    }
    for (int key : {SDLK_DOWN, SDLK_RETURN, SDLK_ESCAPE, SDLK_RETURN, SDLK_p}) {  // options, the game, paused
        app_.handleKey(key);
        expectCleanFrames();
    }
    // A game ends when a block settles in column 5, row 22; its score comes from one gravity step at
    // a level of that many points. Only a score that earns a place (above the default table's 100)
    // leads to the name entry.
    for (int score : {100, 101}) {
        app_.handleKey(SDLK_ESCAPE);
        app_.handleKey(SDLK_RETURN);  // "Play!" from the main menu
        TestAccess::setCounters(TestAccess::game(app_), 0, score);
        TestAccess::game(app_).tick();
        TestAccess::settled(TestAccess::game(app_)).emplace_back().translate(5, 22);
        app_.drawFrame(1);
        ASSERT_EQ(app_.state(), score > 100 ? EnterName : NoHighscore) << score;
        expectCleanFrames();
    }
    EXPECT_STREQ(TestAccess::nameEntry(app_).prompt(), "Enter your name:");
    for (ScreenState s : {Credits, Highscores, Farewell}) {
        TestAccess::setState(app_, s);
        expectCleanFrames();
    }

    // At the end, with the window still there, every GL object, the gravity timer and the sound
    // go: the destructor that runs after SDL_Quit has nothing left to release.
    app_.handleKey(SDLK_ESCAPE);
    app_.handleKey(SDLK_RETURN);  // a game, with gravity running
    app_.shutdown();
    for (GLuint name = 1; name < 1000; ++name) ASSERT_FALSE(glIsTexture(name) || glIsList(name)) << name;
    EXPECT_EQ(TestAccess::game(app_).timerInterval(), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

// A pad SDL knows, plugged in after the start and found at the next look for pads, through the
// whole SDL stack; frames of 10 ms, each reading the pad as the game's loop does before drawing.
TEST_F(ApplicationGl, APadPlaysEveryScreen) {
    enum Button { south = 0, east = 1, back = 4, start = 6, up = 11, down = 12, left = 13, right = 14 };
    setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 1);
    VirtualPad vpad;
    std::uint32_t now = SDL_GetTicks() + Gamepad::kLookEveryMs;
    const auto hold = [&](Button b, int ms = 0) {  // down for the frames from 0 to ms, then up
        for (int t = 0; t <= ms + 10; t += 10, now += 10) {
            vpad.button(b, t <= ms);
            app_.pollPad(now);
            app_.drawFrame(10);
        }
    };
    GameSession& game = TestAccess::game(app_);
    hold(start);      // skips the intro
    hold(down, 400);  // acts at once, after 100 ms, then every 150 ms: to "Exit"
    hold(up);
    hold(south, 400);  // "Credits", once
    EXPECT_EQ(app_.state(), Credits);
    for (Button b : {east, up, up, start, right})  // back, up to "Options", in, snow off
        hold(b);
    EXPECT_EQ(app_.state(), Options);
    EXPECT_EQ(settings_.snowflakes, 0);
    for (Button b : {back, south}) hold(b);  // "Play!"
    Piece& piece = TestAccess::current(game);
    piece.layout(1, nullptr);  // a column, which turns
    piece.translate(5, 10);
    for (Button b : {left, right, right, up, south, east, down}) hold(b);
    // Moved one column right; turned three times about its second block; dropping fast.
    EXPECT_EQ(std::tuple(piece.blocks[1].x, piece.angle, game.timerInterval()), std::tuple(6.0f, 270.0f, 25));
    hold(start);
    EXPECT_TRUE(game.paused());
    hold(start);
    EXPECT_FALSE(game.paused());
    // A game over with a place, under a held Down: it steps nothing on the name entry until it is
    // let go. Then the name from the pad alone, stored.
    vpad.button(down, true);
    app_.pollPad(now += 10);
    TestAccess::setCounters(game, 0, 101);
    game.tick();
    TestAccess::settled(game).emplace_back().translate(5, 22);
    app_.drawFrame(10);
    EXPECT_EQ(app_.state(), EnterName);
    hold(down, 400);
    EXPECT_STREQ(TestAccess::nameEntry(app_).text(), "");
    for (Button b : {up, up, right, down, right, left, east, right, up}) hold(b);  // A B BA B_ B_A B_ B BA BB
    EXPECT_STREQ(TestAccess::nameEntry(app_).text(), "BB");
    for (Button b : {start, back, back}) hold(b);  // stored; to the menu; farewell
    EXPECT_EQ(app_.state(), Farewell);
    hold(left);  // any control ends the game
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUITMASK), 1);
}

}  // namespace
