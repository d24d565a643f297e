// SPDX-License-Identifier: MIT
#pragma once

#include <SDL.h>

#include "app/screen_state.h"
#include "audio/music.h"
#include "game/game_session.h"
#include "render/credits_scroller.h"
#include "render/exit_banner.h"
#include "render/fade_image.h"
#include "render/font.h"
#include "render/snowfall.h"
#include "ui/highscore_table.h"
#include "ui/menu.h"
#include "ui/name_entry.h"

struct Settings;

// Owns every long-lived part of the game and steps through the screens. One global instance,
// constructed before the entry function runs and destroyed after it returns. Screen changes that
// come from time or from the game are made by drawFrame; those that come from keys by handleKey.
class Application {
public:
    Application();
    // Writes the high-score table first (only if it was loaded), then the members go in reverse order.
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // OpenGL state, lights, display lists, images, font, tunes and the high-score file. Once, after
    // the video mode is set; surface may be null when no mode could be set.
    void init(Settings* settings, SDL_Surface* surface);
    // Viewport and projection for a window of width x height. Once, after init.
    void setProjection(int width, int height);
    // Clears the buffers, draws the current screen and advances its animation by dt milliseconds;
    // may change the screen (intro image done, game over).
    void drawFrame(float dt);
    // One key press (SDL key symbol), between frames.
    void handleKey(int sym);
    // One gravity event (the serial it carries), between frames; the game goes on behind every
    // screen, as it does behind the menus after Escape.
    void onGravityEvent(int serial) { game_.onGravityEvent(serial); }

    ScreenState state() const { return state_; }

private:
    friend struct TestAccess;  // tests/support/test_access.h: reads and sets up state for the tests

    void drawPlaying(float dt);
    void menuAction();
    void farewellByEscape();
    void startNewGame();

    // Members in the order they are built; destroyed in reverse.
    FadeImage logoImage_;      // intro logo, zooming out
    FadeImage presentsImage_;  // "presents", fading in
    FadeImage gameLogoImage_;  // the title, fading in over snow
    Snowfall snowfall_;
    ScreenState state_ = Logo;  // the screen drawn and keyed; Logo at start
    Music tunes_;
    GameSession game_;
    ExitBanner banner_;
    Font font_;
    NameEntry nameEntry_;
    CreditsScroller scroller_;
    Menu menu_;
    HighscoreTable highscores_;
    Settings* settings_ = nullptr;    // not owned; set by init
    SDL_Surface* surface_ = nullptr;  // not owned; null without a video mode; only for the full-screen toggle

    bool highscoresLoaded_ = false;  // the table is written at exit only if it was read at start-up
    char text_[256] = {};            // scratch buffer for every formatted text of a frame
};
