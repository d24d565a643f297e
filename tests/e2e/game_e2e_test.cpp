// SPDX-License-Identifier: MIT
// The whole game played as a player would: real key presses, the real window read back, the
// sound written by SDL's disk driver, and the files the game leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "support/player.h"

using namespace std::chrono_literals;
using Image = XScreen::Image;

namespace {

// Text rows are 16 units high from their y; menu rows lie at y = 250 - 20 * i from x = 300.
bool menuRowRed(const Image& img, int row) {
    const int y = 250 - 20 * row;
    return Player::red(img, 300, y, 420, y + 16) > 15;
}
bool menuRowWhite(const Image& img, int row) {
    const int y = 250 - 20 * row;
    return Player::red(img, 300, y, 420, y + 16) < 5 && Player::white(img, 300, y, 420, y + 16) > 15;
}
bool onMainMenuWithCursor(const Image& img, int row) {
    for (int i = 0; i < 5; ++i)
        if (i == row ? !menuRowRed(img, i) : !menuRowWhite(img, i)) return false;
    return true;
}
bool showsScorePanel(const Image& img) { return Player::red(img, 430, 450, 520, 466) > 15; }
bool showsEnterName(const Image& img) { return Player::red(img, 200, 300, 360, 316) > 30 && !showsScorePanel(img); }
bool showsPaused(const Image& img) {
    return Player::red(img, 430, 410, 490, 426) > 15 && Player::red(img, 430, 450, 520, 466) == 0;
}

// Skips the intro and waits for the main menu with the cursor on "Play!".
void toMainMenu(Player& p) {
    p.press("space");
    ASSERT_TRUE(p.waitForScreen([](const Image& i) { return onMainMenuWithCursor(i, 0); })) << "no main menu";
}

// Starts a game from the main menu and soft-drops pieces until the game ends.
void playUntilGameOver(Player& p, const std::function<bool(const Image&)>& over) {
    p.press("Return");
    ASSERT_TRUE(p.waitForScreen(showsScorePanel)) << "no score panel";
    const auto end = std::chrono::steady_clock::now() + 120s;
    while (std::chrono::steady_clock::now() < end) {
        p.press("Down");
        if (p.waitForScreen(over, 250ms)) return;
    }
    FAIL() << "the game did not end";
}

// Pixels lit in all of several grabs: text stays, snowflakes move on.
std::vector<bool> steadyWhite(Player& p, int x0, int y0, int x1, int y1) {
    std::vector<bool> keep(static_cast<size_t>((x1 - x0) * (y1 - y0)), true);
    for (int n = 0; n < 4; ++n) {
        const Image img = p.grab();
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (!XScreen::isWhite(img.at(x, y))) keep[static_cast<size_t>((y - y0) * (x1 - x0) + (x - x0))] = false;
        std::this_thread::sleep_for(150ms);
    }
    return keep;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

class GameE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XScreen().ok()) GTEST_SKIP() << "no X display";
    }
    static void startGame(Player& p) {
        std::string why;
        ASSERT_TRUE(p.start(&why)) << why;
    }
};

}  // namespace

TEST_F(GameE2E, IntroRunsIntoTheMenuAndAnyKeySkipsItWithoutMovingTheCursor) {
    {
        Player p;
        ASSERT_NO_FATAL_FAILURE(startGame(p));
        // The zooming logo lights the middle of the screen first.
        EXPECT_TRUE(p.waitForScreen([](const Image& i) { return Player::lit(i, 220, 200, 420, 280) > 200; }, 10s));
        EXPECT_TRUE(p.waitForScreen([](const Image& i) { return onMainMenuWithCursor(i, 0); }, 240s))
            << "the intro never reached the main menu";
    }
    {
        Player p;
        ASSERT_NO_FATAL_FAILURE(startGame(p));
        p.press("Down");  // skips the intro only
        ASSERT_TRUE(p.waitForScreen([](const Image& i) { return onMainMenuWithCursor(i, 0); }));
        std::this_thread::sleep_for(300ms);
        EXPECT_TRUE(onMainMenuWithCursor(p.grab(), 0));
    }
}

TEST_F(GameE2E, MenuCursorWrapsAndEscapeFromOptionsReturnsToPlay) {
    Player p;
    ASSERT_NO_FATAL_FAILURE(startGame(p));
    ASSERT_NO_FATAL_FAILURE(toMainMenu(p));
    p.press("Up");
    EXPECT_TRUE(p.waitForScreen([](const Image& i) { return onMainMenuWithCursor(i, 4); }));
    p.press("Down");
    EXPECT_TRUE(p.waitForScreen([](const Image& i) { return onMainMenuWithCursor(i, 0); }));
    p.press("Down Return");
    // Options: "Ingame Snowflakes" highlighted, its "On" at x = 480 in the same red.
    EXPECT_TRUE(p.waitForScreen([](const Image& i) {
        return menuRowRed(i, 0) && Player::red(i, 480, 250, 500, 266) > 10 && Player::white(i, 360, 230, 380, 246) > 10;
    }));
    p.press("Down Down Escape");
    EXPECT_TRUE(p.waitForScreen([](const Image& i) { return onMainMenuWithCursor(i, 0); }));
}

TEST_F(GameE2E, MusicFollowsTheOptionsAndAllFlagsReachTheSettingsFile) {
    Player p("0 1 1 1");
    ASSERT_NO_FATAL_FAILURE(startGame(p));
    ASSERT_TRUE(p.waitForSound(true)) << "the background tune does not play";
    ASSERT_NO_FATAL_FAILURE(toMainMenu(p));
    p.press("Down Return");  // Options
    ASSERT_TRUE(p.waitForScreen([](const Image& i) { return menuRowRed(i, 0); }));
    p.press("Down Return");  // Music off with Return: all sound stops
    EXPECT_TRUE(p.waitForSound(false));
    p.press("Return");  // on again: the tune starts again
    EXPECT_TRUE(p.waitForSound(true));
    p.press("Left");  // off without the follow-up: the tune keeps playing
    std::this_thread::sleep_for(800ms);
    EXPECT_GT(p.recentAudioPeak(250), 1000);
    // Snow off with Space, reflection off with Right, fullscreen on with Right: flags only, no toggle.
    p.press("Up space Down Down Right Down Right");
    p.press("Escape Escape");  // main menu, then farewell
    p.press("a");
    EXPECT_EQ(p.waitForExit(), 0);
    EXPECT_EQ(p.dir().read("game.cfg"), "1 0 0 0");
}

TEST_F(GameE2E, AWholeGameEndsInANewHighscoreWithTheTypedName) {
    Player p("0 0 1 0");
    // A modest table, so that any finished game earns a place however the pieces fell.
    std::string prepared;
    for (int i = 0; i < 10; ++i) prepared += "elf\n" + std::to_string(50 - i) + "\n";
    p.dir().write("highscore.lst", prepared);
    ASSERT_NO_FATAL_FAILURE(startGame(p));
    ASSERT_NO_FATAL_FAILURE(toMainMenu(p));
    ASSERT_NO_FATAL_FAILURE(playUntilGameOver(p, showsEnterName));
    // a, b typed with Shift (still lower case), a space, c removed again, then letters up to the
    // 19-character limit; the twentieth is ignored.
    p.press("a shift+b space c BackSpace d e f g h i j k l m n o p q r s t");
    // The name field shows the typed text from x = 250; the cursor mark after 19 characters.
    EXPECT_TRUE(p.waitForScreen(
        [](const Image& i) { return Player::lit(i, 250 + 10 * 19, 280, 250 + 10 * 19 + 10, 286) > 3; }));
    p.press("Return");
    // The table with the new result highlighted in red.
    ASSERT_TRUE(p.waitForScreen([](const Image& i) {
        return Player::red(i, 300, 350, 400, 366) > 15 && Player::red(i, 225, 120, 600, 316) > 30;
    }));
    p.press("Escape");
    ASSERT_TRUE(p.waitForScreen([](const Image& i) { return menuRowRed(i, 0); }));
    p.press("Escape");
    std::this_thread::sleep_for(300ms);
    p.press("Escape");
    ASSERT_EQ(p.waitForExit(), 0);

    const auto table = lines(p.dir().read("highscore.lst"));
    ASSERT_EQ(table.size(), 20u);
    const auto it = std::find(table.begin(), table.end(), "ab_defghijklmnopqrs");
    ASSERT_NE(it, table.end()) << p.dir().read("highscore.lst");
    const size_t place = static_cast<size_t>(it - table.begin()) / 2;
    const unsigned long score = std::stoul(table[place * 2 + 1]);
    EXPECT_GT(score, 50u);
    for (size_t i = 0; i < 10; ++i) {
        if (i < place) {
            EXPECT_GE(std::stoul(table[i * 2 + 1]), score);
        } else if (i > place) {
            EXPECT_EQ(table[i * 2], "elf");
        }
    }
}

TEST_F(GameE2E, AScoreWithoutAPlaceShowsTheCentredSorryMessage) {
    Player p("0 0 0 0");
    std::string table;
    for (int i = 0; i < 10; ++i) table += "champion\n4000000000\n";
    p.dir().write("highscore.lst", table);
    ASSERT_NO_FATAL_FAILURE(startGame(p));
    ASSERT_NO_FATAL_FAILURE(toMainMenu(p));
    const auto sorry = [](const Image& i) {
        return Player::white(i, 150, 250, 490, 266) > 100 && !showsScorePanel(i) && !showsEnterName(i);
    };
    ASSERT_NO_FATAL_FAILURE(playUntilGameOver(p, sorry));
    const auto steady = steadyWhite(p, 100, 250, 540, 266);
    int left = 540, right = 100;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 440; ++x)
            if (steady[static_cast<size_t>(y * 440 + x)]) {
                left = std::min(left, 100 + x);
                right = std::max(right, 100 + x);
            }
    ASSERT_LT(left, right);
    EXPECT_NEAR((left + right) / 2.0, 320, 12) << "text from " << left << " to " << right;
    p.press("Escape");  // any key leads to the main menu
    EXPECT_TRUE(p.waitForScreen([](const Image& i) { return menuRowRed(i, 0); }));
    p.closeWindow();
    EXPECT_EQ(p.waitForExit(), 0);
    EXPECT_EQ(p.dir().read("highscore.lst"), table);
}

TEST_F(GameE2E, PauseFreezesTheGameAndSpaceStartsANewOne) {
    Player p("0 0 0 0");
    ASSERT_NO_FATAL_FAILURE(startGame(p));
    ASSERT_NO_FATAL_FAILURE(toMainMenu(p));
    p.press("Return");
    ASSERT_TRUE(p.waitForScreen(showsScorePanel));
    p.press("p");
    ASSERT_TRUE(p.waitForScreen(showsPaused));
    // Nothing moves while paused: the well looks the same a second later (no snow in this game).
    const Image a = p.grab();
    std::this_thread::sleep_for(1000ms);
    const Image b = p.grab();
    EXPECT_EQ(a.count(40, 0, 400, 480, XScreen::isLit), b.count(40, 0, 400, 480, XScreen::isLit));
    EXPECT_EQ(a.rgb, b.rgb);
    p.press("p");
    EXPECT_TRUE(p.waitForScreen(showsScorePanel));

    // Drop three pieces (the well is far from full), then Space clears the heap at once. The
    // heap is looked for in rows 1 to 6, between the posts and above the bottom bar.
    const auto heapLit = [](const Image& i) { return Player::lit(i, 55, 40, 328, 140); };
    for (int n = 0; n < 3; ++n) {
        p.press("Down");
        std::this_thread::sleep_for(1200ms);
    }
    ASSERT_TRUE(p.waitForScreen([&](const Image& i) { return heapLit(i) > 800 && showsScorePanel(i); }, 1s));
    p.press("space");
    EXPECT_TRUE(p.waitForScreen([&](const Image& i) { return heapLit(i) < 50; }, 3s));
}

TEST_F(GameE2E, EscapeOnTheMenuPlaysTheFarewellTuneAndAnyKeyQuits) {
    Player p("0 0 1 1");
    ASSERT_NO_FATAL_FAILURE(startGame(p));
    ASSERT_NO_FATAL_FAILURE(toMainMenu(p));
    EXPECT_TRUE(p.waitForSound(false));
    p.press("Escape");
    EXPECT_TRUE(p.waitForSound(true)) << "no farewell tune";
    // The banner and its red glow.
    EXPECT_TRUE(p.waitForScreen([](const Image& i) { return Player::red(i, 0, 0, 640, 480) > 500; }));
    p.press("x");
    EXPECT_EQ(p.waitForExit(), 0);
    EXPECT_EQ(p.dir().read("game.cfg"), "0 0 1 1");
    EXPECT_EQ(lines(p.dir().read("highscore.lst")).size(), 20u);

    // Closing the window ends the game in order on any screen.
    Player q("0 0 1 1");
    ASSERT_NO_FATAL_FAILURE(startGame(q));
    ASSERT_NO_FATAL_FAILURE(toMainMenu(q));
    q.press("Down Down Down Return");  // Credits
    std::this_thread::sleep_for(500ms);
    q.closeWindow();
    EXPECT_EQ(q.waitForExit(), 0);
    EXPECT_EQ(q.dir().read("game.cfg"), "0 0 1 1");
    EXPECT_TRUE(q.dir().exists("highscore.lst"));
}

TEST_F(GameE2E, ReflectionAndSnowSettingsChangeThePlayingScreen) {
    // The grey pane between the board and its far copy shows right of the near board's frame.
    const auto pane = [](const Image& i) { return Player::lit(i, 362, 120, 394, 380); };
    // Snow on the playing screen shows beside the score panel, where nothing else is drawn.
    const auto snow = [](const Image& i) { return Player::lit(i, 430, 80, 560, 370); };
    for (const char* config : {"0 0 1 1", "0 0 0 0"}) {
        SCOPED_TRACE(config);
        const bool on = config[4] == '1';
        Player p(config);
        ASSERT_NO_FATAL_FAILURE(startGame(p));
        toMainMenu(p);
        p.press("Return");
        ASSERT_TRUE(p.waitForScreen(showsScorePanel));
        std::this_thread::sleep_for(300ms);
        const Image img = p.grab();
        if (on) {
            EXPECT_GT(pane(img), 2000);
            EXPECT_GT(snow(img), 20);
        } else {
            EXPECT_EQ(pane(img), 0);
            EXPECT_EQ(snow(img), 0);
        }
    }
}
