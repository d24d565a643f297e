// SPDX-License-Identifier: MIT
#pragma once

#include <SDL.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

#include "audio/music.h"
#include "files/settings.h"
#include "game/game_session.h"
#include "input/gamepad.h"
#include "input/pad_control.h"
#include "render/credits_scroller.h"
#include "render/exit_banner.h"
#include "render/fade_image.h"
#include "render/font.h"
#include "render/snowfall.h"
#include "ui/highscore_table.h"
#include "ui/menu.h"
#include "ui/name_entry.h"
#include "ui/screen_state.h"

// Owns every long-lived part of the game and steps through the screens. One global instance,
// constructed before the entry function runs and destroyed after it returns.
//
// Each screen is one row of kScreens: what its frame draws (and where the snow lies), what its
// keys do, and what its gamepad controls do. Every change of screen, by a frame
// (an intro image done, a game over), a key or the pad, goes through changeScreen, which also does
// what the change brings with it.
class Application {
public:
    Application();
    // Writes the high-score table (only if it was loaded), then the members go in reverse order.
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // OpenGL state, lights, display lists, images, font, tunes, the high-score file and the
    // gamepads. Once, after the video mode is set; surface may be null when no mode could be set.
    // Says on standard error when no image could be loaded: the game was started away from its data.
    void init(Settings* settings, SDL_Surface* surface);
    // Viewport and projection for a window of width x height. Once, after init.
    void setProjection(int width, int height);
    // Clears the buffers, draws the current screen and advances its animation by dt milliseconds;
    // may change the screen (intro image done, game over).
    void drawFrame(float dt);
    // One key press (SDL key symbol), between frames. A key that was held when a game's result
    // appeared does nothing until it has been released (its presses are the repeats of the key the
    // game ended under).
    void handleKey(int sym);
    // One key release, between frames.
    void releaseKey(int sym);
    // Reads the gamepads (nowMs: SDL_GetTicks) and hands the controls that act to handlePad;
    // before the frame's key presses, as a key would come.
    void pollPad(std::uint32_t nowMs);
    // One gamepad control acting (pressed, or a held direction repeating), between frames: on most
    // screens the key it stands for; on the name entry Up and Down step the last character and
    // Right adds one.
    void handlePad(PadControl control);
    // A game is being played (shown and not paused): the time to leave the gamepad's devices alone.
    bool gameInPlay() const { return state_ == Playing && !game_.paused(); }
    // One gravity event (the serial it carries), between frames; the game goes on behind every
    // screen, as it does behind the menus after Escape.
    void onGravityEvent(int serial) { game_.onGravityEvent(serial); }
    // Releases what lives on the window and on SDL (textures, display lists, the gravity timer,
    // the sound output, the gamepads) while both still do. Once, before SDL_Quit; afterwards only the destructor
    // runs, and it writes the high-score table as before.
    void shutdown();

    ScreenState state() const { return state_; }

private:
    friend struct TestAccess;  // tests/support/test_access.h: reads and sets up state for the tests

    // Where a screen's snow lies: not at all, behind what the screen draws, in front of it, or
    // behind the game when the in-game snow is switched on.
    enum class Snow { none, behind, inFront, behindIfEnabled };
    // One screen: its drawing (after the shared start of the frame; it returns the screen a frame
    // leads to, if any), its keys and its pad.
    struct Screen {
        ScreenState state;  // the row's own screen: row i is screen i
        std::optional<ScreenState> (Application::*draw)(float dt);
        Snow snow;
        void (Application::*keys)(int sym);
        void (Application::*pad)(PadControl control);
    };
    static const std::array<Screen, kScreenCount> kScreens;  // indexed by ScreenState; complete (checked)

    // The screens' drawings.
    std::optional<ScreenState> drawLogo(float dt);
    std::optional<ScreenState> drawPresents(float dt);
    std::optional<ScreenState> drawGameLogo(float dt);
    std::optional<ScreenState> drawMenu(float dt);
    std::optional<ScreenState> drawCredits(float dt);
    std::optional<ScreenState> drawHighscores(float dt);
    std::optional<ScreenState> drawPlaying(float dt);
    std::optional<ScreenState> drawFarewell(float dt);
    std::optional<ScreenState> drawNoHighscore(float dt);
    std::optional<ScreenState> drawEnterName(float dt);
    void drawScorePanel();

    // The screens' keys.
    void skipKey(int sym);  // intro and the sorry message: any key leads to the main menu
    void menuKey(int sym);
    void backKey(int sym);  // credits and the table: Escape leads back
    void playingKey(int sym);
    void farewellKey(int sym);
    void enterNameKey(int sym);

    // The screens' pad controls: as keys on the menus and every other screen, and in the game; on
    // the name entry Up and Down step the last character and Right adds one, the rest are keys.
    void menuPad(PadControl control);
    void playingPad(PadControl control);
    void enterNamePad(PadControl control);

    // Goes to `next` and does what that brings: a new game, the credits from the bottom, a fresh
    // name entry, the main items after the options. `solo` replaces all sound on arrival; without
    // it the music plays on.
    void changeScreen(ScreenState next, std::optional<Tune> solo = std::nullopt);
    // Return on a menu: the menu acts, the Application does what follows.
    void menuAction();
    // What a switched flag needs at once: the music started or stopped, the full-screen toggle.
    void applySetting(Settings::Flag flag);
    // Whether any image came from data/; none means the game looked in the wrong place.
    bool anyImageLoaded() const;
    // The game's score as the high-score table keeps it; a game's score is never negative.
    std::uint32_t tableScore() const { return static_cast<std::uint32_t>(game_.score()); }

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
    Gamepad pad_;
    Settings* settings_ = nullptr;    // not owned; set by init
    SDL_Surface* surface_ = nullptr;  // not owned; null without a video mode; only for the full-screen toggle

    bool saveHighscores_ = false;      // written at exit only if it was read, or missing, at start-up
    char text_[256] = {};              // scratch buffer for every formatted text of a frame
    std::bitset<SDLK_LAST> heldOver_;  // keys held when a game's result appeared, until released
};
