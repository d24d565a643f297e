// SPDX-License-Identifier: MIT
// The Application in a real window: the state its start-up leaves, every screen drawn without a
// heap allocation and with the base state kept, the screen changes made by frames, and the key map
// screen by screen. The end-to-end tests play the same through the real binary; these check what
// the screen cannot show.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/application.h"
#include "app/settings.h"
#include "support/counting_new.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"
#include "support/test_access.h"

namespace {

class ApplicationGl : public GlTestWindow {
protected:
    // One Application for the suite, in a directory with the game's data, so start-up runs once as
    // in the game (its display lists and textures live for the rest of the run).
    static void SetUpTestSuite() {
        GlTestWindow::SetUpTestSuite();
        if (!available_) return;
        static TempDir dir;
        const std::string data = std::string(YT_SOURCE_DIR) + "/data";
        ASSERT_EQ(symlink(data.c_str(), dir.file("data").c_str()), 0);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        app_ = new Application;
        settings_ = new Settings;
        app_->init(settings_, SDL_GetVideoSurface());
        app_->setProjection(640, 480);
    }
    void SetUp() override {
        GlTestWindow::SetUp();
        if (!available_) return;
        while (SDL_PollEvent(&event_)) {
        }
    }
    static Application& app() { return *app_; }
    static Settings& settings() { return *settings_; }

    // Draws n frames of the current screen; returns the allocations they made.
    static long drawFrames(int n, float dt = 1) {
        const long before = allocationCount();
        for (int i = 0; i < n; ++i) app().drawFrame(dt);
        return allocationCount() - before;
    }
    static bool quitPosted() {
        SDL_Event e;
        bool quit = false;
        while (SDL_PollEvent(&e)) quit |= e.type == SDL_QUIT;
        return quit;
    }
    // A finished game with `score` points: a settled block in column 5, row 22.
    static void endGameWithScore(int score) {
        GameSession& game = TestAccess::game(app());
        game.reset();
        game.spawn();
        TestAccess::setCounters(game, 0, score);
        game.tick();
        TestAccess::setCounters(game, 0, 1);
        Block top;
        top.x = 5;
        top.y = 22;
        TestAccess::settled(game).push_back(top);
    }

    static Application* app_;
    static Settings* settings_;
    SDL_Event event_{};
};
Application* ApplicationGl::app_ = nullptr;
Settings* ApplicationGl::settings_ = nullptr;

}  // namespace

TEST_F(ApplicationGl, StartUpSetsDarkeningLightsSquareProjectionAndFlippedTextureRows) {
    GLfloat v[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[0], -0.1f);
    glGetLightfv(GL_LIGHT1, GL_SPECULAR, v);
    EXPECT_FLOAT_EQ(v[1], -0.1f);
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, v);
    EXPECT_FLOAT_EQ(v[0], 10);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], m[5]) << "the aspect ratio must be exactly 1";
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 1);
    EXPECT_FLOAT_EQ(m[5], -1);
    expectBaseState("init");
}

TEST_F(ApplicationGl, EveryScreenDrawsWithoutAllocatingAndKeepsTheBaseState) {
    settings().snowflakes = 1;
    settings().reflection = 1;
    const ScreenState screens[] = {Logo,    Presents,   GameLogo, MainMenu,   Options,
                                   Credits, Highscores, Farewell, NoHighscore};
    // The software renderer compiles code for each new combination of state the first time it
    // meets one; only frames after that are the game's own.
    for (ScreenState s : screens) {
        TestAccess::setState(app(), s);
        drawFrames(3);
    }
    for (ScreenState s : screens) {
        TestAccess::setState(app(), s);
        EXPECT_EQ(drawFrames(5), 0) << "screen " << s;
        expectBaseState("screen " + std::to_string(s));
    }
    TestAccess::setState(app(), MainMenu);
    app().handleKey(SDLK_RETURN);  // "Play!"
    ASSERT_EQ(app().state(), Playing);
    drawFrames(3);
    EXPECT_EQ(drawFrames(5), 0);
    expectBaseState("playing");
    app().handleKey(SDLK_p);
    drawFrames(3);
    EXPECT_EQ(drawFrames(5), 0);
    expectBaseState("paused");
    app().handleKey(SDLK_p);
    app().handleKey(SDLK_ESCAPE);
    EXPECT_EQ(app().state(), MainMenu);
}

TEST_F(ApplicationGl, TheIntroHandsOverOnTheFrameItsImageIsDone) {
    Application fresh;  // intro images run once per Application
    fresh.init(&settings(), SDL_GetVideoSurface());
    fresh.setProjection(640, 480);
    for (int ms = 0; ms < 3999; ++ms) fresh.drawFrame(1);
    EXPECT_EQ(fresh.state(), Logo);
    fresh.drawFrame(1);
    EXPECT_EQ(fresh.state(), Presents);
    fresh.drawFrame(4999);
    EXPECT_EQ(fresh.state(), Presents);
    fresh.drawFrame(1);
    EXPECT_EQ(fresh.state(), GameLogo);
    fresh.drawFrame(1000);
    EXPECT_EQ(fresh.state(), MainMenu);
    expectBaseState("intro");
}

TEST_F(ApplicationGl, GameOverLeadsToNameEntryOnlyWithAPlace) {
    endGameWithScore(0);
    TestAccess::setState(app(), Playing);
    app().drawFrame(1);
    EXPECT_EQ(app().state(), NoHighscore);
    EXPECT_EQ(TestAccess::game(app()).timerInterval(), 0) << "game over stops gravity";
    app().handleKey(SDLK_UP);  // any key only leaves the message
    EXPECT_EQ(app().state(), MainMenu);
    EXPECT_EQ(TestAccess::menu(app()).cursor(), 0);

    endGameWithScore(5000);
    TestAccess::setState(app(), Playing);
    app().drawFrame(1);
    ASSERT_EQ(app().state(), EnterName);
    EXPECT_STREQ(TestAccess::nameEntry(app()).prompt(), "Enter your name:");
    EXPECT_EQ(drawFrames(3), 0);
    // Letters, digits and a space are typed; P types p and pauses nothing; Backspace deletes.
    for (int sym : {int(SDLK_s), int(SDLK_p), int(SDLK_SPACE), int(SDLK_1), int(SDLK_BACKSPACE), int(SDLK_2),
                    int(SDLK_UP), 123, 31})
        app().handleKey(sym);
    EXPECT_STREQ(TestAccess::nameEntry(app()).text(), "sp 2");
    EXPECT_FALSE(TestAccess::game(app()).paused());
    app().handleKey(SDLK_RETURN);
    EXPECT_EQ(app().state(), Highscores);
    EXPECT_STREQ(TestAccess::highscores(app()).entries()[0].name, "sp 2");
    EXPECT_EQ(TestAccess::highscores(app()).entries()[0].score, 5000u);
    app().handleKey(SDLK_ESCAPE);
    EXPECT_EQ(app().state(), MainMenu);
}

TEST_F(ApplicationGl, KeysActByScreen) {
    // Intro screens: any key, arrows included, only goes to the main menu.
    for (ScreenState s : {Logo, Presents, GameLogo}) {
        TestAccess::setState(app(), s);
        app().handleKey(SDLK_DOWN);
        EXPECT_EQ(app().state(), MainMenu);
        EXPECT_EQ(TestAccess::menu(app()).cursor(), 0);
    }
    // Space on the main menu does nothing; Return on "Credits" restarts the scroller.
    app().handleKey(SDLK_SPACE);
    EXPECT_EQ(app().state(), MainMenu);
    for (int i = 0; i < 3; ++i) app().handleKey(SDLK_DOWN);
    app().handleKey(SDLK_RETURN);
    EXPECT_EQ(app().state(), Credits);
    app().handleKey(SDLK_ESCAPE);
    EXPECT_EQ(app().state(), MainMenu);
    EXPECT_EQ(TestAccess::menu(app()).cursor(), 3) << "the cursor stays where it was";

    // Options: Space, Left and Right flip the highlighted flag; Escape goes back with the cursor on "Play!".
    app().handleKey(SDLK_UP);
    app().handleKey(SDLK_UP);
    app().handleKey(SDLK_RETURN);
    ASSERT_EQ(app().state(), Options);
    settings().reflection = 1;
    app().handleKey(SDLK_DOWN);
    app().handleKey(SDLK_DOWN);
    app().handleKey(SDLK_SPACE);
    EXPECT_EQ(settings().reflection, 0);
    app().handleKey(SDLK_LEFT);
    app().handleKey(SDLK_RIGHT);
    EXPECT_EQ(settings().reflection, 0);
    app().handleKey(SDLK_RETURN);
    EXPECT_EQ(settings().reflection, 1);
    EXPECT_EQ(app().state(), Options);
    app().handleKey(SDLK_ESCAPE);
    EXPECT_EQ(app().state(), MainMenu);
    EXPECT_EQ(TestAccess::menu(app()).cursor(), 0);
    EXPECT_EQ(TestAccess::menu(app()).mode(), Menu::Mode::main);

    // Playing: Space starts a new game; Escape leaves it running.
    app().handleKey(SDLK_RETURN);
    ASSERT_EQ(app().state(), Playing);
    app().handleKey(SDLK_SPACE);
    EXPECT_EQ(TestAccess::game(app()).score(), 0);
    EXPECT_EQ(TestAccess::game(app()).level(), 1);
    app().handleKey(SDLK_ESCAPE);
    EXPECT_EQ(app().state(), MainMenu);
    EXPECT_GT(TestAccess::game(app()).timerInterval(), 0);

    // Escape on the main menu says goodbye; any key there posts a quit event.
    EXPECT_FALSE(quitPosted());
    app().handleKey(SDLK_ESCAPE);
    EXPECT_EQ(app().state(), Farewell);
    EXPECT_FALSE(quitPosted());
    app().handleKey(SDLK_a);
    EXPECT_TRUE(quitPosted());
    app().handleKey(SDLK_ESCAPE);
    EXPECT_TRUE(quitPosted());
    EXPECT_EQ(app().state(), MainMenu);
}
