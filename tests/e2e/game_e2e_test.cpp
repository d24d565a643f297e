// SPDX-License-Identifier: MIT
// The whole game played as a player would: real key presses, the real window read back, the sound
// written by SDL's disk driver, and the files the game leaves behind. Starting the game costs the
// most, so each test is one run through many screens.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "audio/sound_stream.h"
#include "render/text_layout.h"
#include "support/player.h"

using namespace std::chrono_literals;
using namespace textLayout;
using xscreen::Image;

namespace {

// The red, or the lit, pixels where a text of `glyphs` characters is printed at `at`.
int text(const Image& i, bool red, TextPos at, float glyphs) {
    return i.count(red, at.x, at.y, at.x + glyphs * kGlyphStep, at.y + kGlyphHeight);
}

// The main menu, or with `options` the options, the cursor on `cursor` (its row red); the options'
// first value ("On" or "Off") one glyph after "Ingame Snowflakes".
auto menu(int cursor, bool options = false) {
    return [=](const Image& i) {
        for (int row = 0; row < 5; ++row) {
            const TextPos at{kMenuTop.x, kMenuTop.y - kMenuRowStep * static_cast<float>(row)};
            if ((text(i, true, at, 12) > 15) != (row == cursor) || text(i, false, at, 12) < 15) return false;
        }
        return !options || text(i, false, {kMenuTop.x + 18 * kGlyphStep, kMenuTop.y}, 2) > 10;
    };
}
bool playing(const Image& i) { return text(i, true, kScore, 9) > 15; }
bool paused(const Image& i) { return text(i, true, kPaused, 6) > 15 && !playing(i); }  // "Paused" alone
bool enterName(const Image& i) {
    return text(i, true, {centred(kPromptCentre.x, 16), kPromptCentre.y}, 16) > 30 && !playing(i);
}
// The sorry message, told from a menu by its left part, which lies left of the menu items.
bool sorry(const Image& i) {
    return text(i, false, {centred(kSorryCentre.x, 26), kSorryCentre.y}, 10) > 100 && !playing(i) && !enterName(i);
}
bool backHint(const Image& i) { return text(i, false, kBackKey, 8) > 20; }  // "ESC Back"
bool table(const Image& i) { return text(i, true, kTableTitle, 10) > 15 && backHint(i); }
// Red pixels in the table's ten rows: the new result's row is highlighted.
int tableRows(const Image& i) {
    const float lastRow = kTableTopY - 9 * kTableRowStep, scoreEnd = kTableScoreX + 10 * kGlyphStep;
    return i.red(kTablePlaceX, lastRow, scoreEnd, kTableTopY + kGlyphHeight);
}
bool farewell(const Image& i) { return i.red(0, 0, 640, 480) > 5000; }  // the banner's red glow
int pane(const Image& i) { return i.lit(362, 120, 394, 380); }          // the reflection's, right of the board
int snow(const Image& i) { return i.lit(430, 80, 560, 370); }           // beside the score panel
bool atTop(const Image& i) { return playing(i) && i.lit(150, 430, 250, 466) > 100; }  // where pieces come
int heap(const Image& i, float x) { return i.lit(x, 40, x + 90, 140); }               // rows 1 to 6 from x on

// Drops piece after piece, the first `drops` of them, and lets the rest fall until the game ends.
bool playUntil(Player& p, bool (*over)(const Image&), int drops) {
    bool dropped = false;  // the piece at the top has had its Down
    const auto step = [&] {
        const Image i = p.grab();
        if (atTop(i) && !dropped && drops-- > 0) p.press("Down"), dropped = true;
        dropped = dropped && atTop(i);
        return over(i);
    };
    return waitUntil(step, 60s);
}

// The loudest of the samples written since sample `from`, once there are `n` of them; -1 before.
int peak(Player& p, size_t from, size_t n = 1) {
    const auto& s = p.audio(from);
    return s.size() < n ? -1 : std::abs(*std::ranges::max_element(s, {}, [](int v) { return std::abs(v); }));
}

// Whether the sound written since sample `from` holds the tune as it is, from its start, alone.
bool hears(Player& p, const char* tune, size_t from) {
    SoundStream stream;
    std::vector<int32_t> start(2 * 4096);
    return stream.open(std::string(YT_SOURCE_DIR "/data/") + tune, false, 44100) &&
           stream.mixInto(start.data(), 4096) &&
           waitUntil([&] { return !std::ranges::search(p.audio(from), start).empty(); }, 10s);
}

// Seconds from `opened` until the intro has run into the main menu on its own.
double secondsToTheMenu(Player& p, std::chrono::steady_clock::time_point opened) {
    EXPECT_TRUE(p.waitForScreen(menu(0), 30s));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count();
}

}  // namespace

TEST(GameE2E, QuietlyThroughEveryMenuScreenToTheSorryMessageAndOutThroughTheWindow) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    std::string champions;
    for (int i = 0; i < 10; ++i) champions += "champion\n4000000000\n";
    Player p({.files = {{"game.cfg", "0 0 1 0"}, {"highscore.lst", champions}}});  // music and snow off
    const auto opened = std::chrono::steady_clock::now();
    // Start-up: the titled window, the six lines about it, the cursor hidden, the zooming logo.
    EXPECT_EQ(runCommand("xdotool getwindowname " + std::to_string(p.window)), "Yuletumble\n");
    EXPECT_EQ(xscreen::size(p.window), (std::array{640, 480}));
    const std::string out = p.game->output(), rule(31, '-');
    EXPECT_TRUE(out.starts_with("SDL Video Driver-name: x11\nOpenGL Infos\n" + rule + "\n Vendor: Mesa")) << out;
    EXPECT_EQ(std::ranges::count(out, '\n'), 6) << out;
    EXPECT_TRUE(out.find("\n Extensions: GL_") < out.size() && out.ends_with("\n" + rule + "\n")) << out;
    EXPECT_TRUE(waitUntil(xscreen::cursorHidden, 5s));
    // The intro, a 4 s zoom, a 5 s fade and a 1 s fade, runs into the menu at its designed speed.
    const double intro = secondsToTheMenu(p, opened);
    EXPECT_TRUE(intro > 9 && intro < 13) << intro << " s";
    p.press("Return");
    // Down held from the first piece to the end of the game, as a player drops the last pieces: its
    // repeats do not pass over the result, which a fresh key then leaves.
    runCommand("xdotool keydown Down");
    ASSERT_TRUE(p.waitForScreen(sorry, 60s));
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(sorry(p.grab())) << "the held key's repeats left the result";
    runCommand("xdotool keyup Down");
    // "Sorry no highscore with N!" centred on x = 320: the mean x of what stays lit in its row while
    // the snow moves on.
    Image img = p.grab();
    for (int n = 0; n < 10; ++n)
        std::ranges::transform(img.rgb, p.grab().rgb, img.rgb.begin(), [](auto a, auto b) { return std::min(a, b); });
    double sum = 0;
    const float y = kSorryCentre.y, top = y + kGlyphHeight;
    for (float x = 100; x < 540; ++x) sum += static_cast<double>(x) * img.lit(x, y, x + 1, top);
    EXPECT_NEAR(sum / img.lit(100, y, 540, top), kSorryCentre.x, 25);
    p.press("Down Down Down Return");  // a key only leaves the message; the stored table, without this run
    EXPECT_TRUE(p.waitForScreen([](auto& i) { return table(i) && tableRows(i) == 0; }));
    p.press("Escape Down Return");  // the cursor was left on "Highscores": now "Credits"
    EXPECT_TRUE(p.waitForScreen([](auto& i) { return backHint(i) && !table(i); }));
    // The red title rises at a pace to read at: 40 to 80 rows a second.
    const auto title = [&] {
        const Image i = p.grab();
        float row = 0;
        while (row < 480 && i.red(kCreditsHeadX, row, kCreditsHeadX + 100, row + 1) == 0) ++row;
        return std::pair{std::chrono::steady_clock::now(), row};
    };
    auto [since, from] = title();
    for (; from == 480; std::tie(since, from) = title()) std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(2s);
    const auto [until, to] = title();
    const double pace = (to - from) / std::chrono::duration<double>(until - since).count();
    EXPECT_TRUE(pace > 40 && pace < 80) << pace << " rows a second";
    p.press("Escape Down Return");  // "Exit"
    EXPECT_TRUE(p.waitForScreen(farewell));
    xscreen::close(p.window);  // as a window manager's close button asks
    EXPECT_EQ(p.game->waitForExit(), 0);
    EXPECT_EQ(p.game->dir.read("game.cfg"), "0 0 1 0");
    EXPECT_EQ(p.game->dir.read("highscore.lst"), champions);
    EXPECT_EQ(peak(p, 0), 0) << "music off, and Exit plays no tune";
}

TEST(GameE2E, MusicFollowsTheOptionsAndAWholeGameEndsInANewHighscoreAndAFarewell) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    std::string elves;  // a modest table, so that any finished game comes first
    for (int i = 0; i < 10; ++i) elves += "elf\n" + std::to_string(50 - i) + "\n";
    // As with a shared table, the game may not write its directory, only the files: it writes
    // them in place at exit.
    Player p({.files = {{"game.cfg", "0 1 1 1"}, {"highscore.lst", elves}}, .start = Launch::Start::lockedIn});
    EXPECT_TRUE(hears(p, "background.mp3", 0));
    p.press("Down Return");  // a key on the intro only skips it: "Play!"
    EXPECT_TRUE(p.waitForScreen([](auto& i) { return playing(i) && pane(i) > 2000 && snow(i) > 20; }));
    p.press("Escape");  // the game goes on unseen
    ASSERT_TRUE(p.waitForScreen(menu(0)));
    p.press("Down Return Down Return");  // Options, then Music off: all sound stops
    EXPECT_TRUE(p.waitForScreen(menu(1, true)));
    // Sound mixed before a key can reach the file up to 4096 frames after the screen shows the key.
    const size_t off = p.audio().size() + 8192;
    EXPECT_TRUE(waitUntil([&] { return peak(p, off, 22050) == 0; }, 10s));
    p.press("Return");  // on again: the tune starts again
    EXPECT_TRUE(waitUntil([&] { return peak(p, off) > 1000; }, 10s));
    // Left, Space and Right flip flags only: the tune plays on with Music off, and fullscreen
    // counts from the next start.
    p.press("Left Up space Down Down Right Down Right");
    EXPECT_TRUE(p.waitForScreen(menu(3, true)));
    const size_t flipped = p.audio().size() + 8192;
    EXPECT_TRUE(waitUntil([&] { return peak(p, flipped) > 1000; }, 5s)) << "the tune stopped";
    p.press("Escape");  // the main menu, the cursor on "Play!"
    ASSERT_TRUE(p.waitForScreen(menu(0)));
    p.press("Return");  // a new game
    EXPECT_TRUE(p.waitForScreen([](auto& i) { return playing(i) && pane(i) + snow(i) == 0; }));
    // A piece moved to the left wall and dropped lies there when the next one comes at the top;
    // the next, moved to the right wall, lies there.
    p.press("Left Left Left Left Left Left Down");
    EXPECT_TRUE(p.waitForScreen([](auto& i) { return heap(i, 55) > 300 && heap(i, 238) == 0 && atTop(i); }, 5s));
    p.press("Right Right Right Right Right Right Down");
    EXPECT_TRUE(p.waitForScreen([](auto& i) { return heap(i, 238) > 300; }, 5s));
    // Paused, nothing moves, but Up still turns the piece. Only the square looks the same turned:
    // then another game brings another piece.
    bool turned = false;
    for (int n = 0; n < 5 && !turned; ++n) {
        if (n > 0) p.press("space");  // another game, another piece
        ASSERT_TRUE(p.waitForScreen(playing));
        p.press("p");
        ASSERT_TRUE(p.waitForScreen(paused));
        const Image still = p.grab();
        EXPECT_FALSE(p.waitForScreen([&](auto& i) { return i.rgb != still.rgb; }, 500ms));
        p.press("Up");
        turned = p.waitForScreen([&](auto& i) { return i.rgb != still.rgb; }, 500ms);
    }
    EXPECT_TRUE(turned);
    p.press("space");  // a new game at once, with an empty well
    EXPECT_TRUE(p.waitForScreen([](auto& i) { return playing(i) && heap(i, 55) + heap(i, 238) == 0; }, 3s));
    ASSERT_TRUE(playUntil(p, enterName, 99));  // Down does nothing on the name entry
    // a, b typed with Shift (still lower case), a space, c removed again, then letters up to the
    // 19-character limit: the twentieth is ignored, so BackSpace takes the nineteenth.
    p.press("a shift+b space c BackSpace d e f g h i j k l m n o p q r s t BackSpace");
    p.press("Return");  // the table, the new result in red
    ASSERT_TRUE(p.waitForScreen([](auto& i) { return table(i) && tableRows(i) > 30; }));
    const size_t farewellFrom = p.audio().size();
    p.press("Escape Escape");  // the main menu, and from there farewell
    EXPECT_TRUE(p.waitForScreen(farewell));
    EXPECT_TRUE(hears(p, "merry_christmas.mp3", farewellFrom)) << "the farewell tune, and nothing else";
    p.press("x");  // any key ends the game
    EXPECT_EQ(p.game->waitForExit(), 0);
    EXPECT_EQ(p.game->dir.read("game.cfg"), "1 0 0 0");
    const std::string stored = p.game->dir.read("highscore.lst");  // the new result first, then nine elves
    EXPECT_TRUE(stored.starts_with("ab_defghijklmnopqr\n")) << stored;
    EXPECT_EQ(stored.substr(stored.find('\n', 19) + 1), elves.substr(0, elves.rfind("elf"))) << stored;
}

// On a 1920 x 1080 desktop, scaled as the launcher scales it (in e2e_window_scale_test): 1280 x 960, filled.
TEST(WindowScale, OnA1920By1080DesktopTheWindowIs1280By960AndThePictureFillsIt) {
    if (runCommand("xdotool getdisplaygeometry") != "1920 1080\n") GTEST_SKIP() << "needs a 1920 x 1080 screen";
    Player p({.files = {{"game.cfg", "0 0 1 0"}}});
    EXPECT_EQ(xscreen::size(p.window), (std::array{1280, 960}));
    p.press("space");  // the main menu, its first item red where the scaled layout puts it
    EXPECT_TRUE(p.waitForScreen(menu(0)));
}

TEST(GameE2E, TheIntroKeepsItsTimeWithBothCoresBusyAndWaitsWhileTheGameIsStopped) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    // Other work that keeps every core busy, at the game's own priority.
    std::vector<pid_t> busy(std::max(2u, std::thread::hardware_concurrency()));
    for (pid_t& pid : busy)
        if ((pid = fork()) == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            for (;;) asm volatile("");
        }
    Player p({.files = {{"game.cfg", "0 0 1 0"}}});
    const auto opened = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(5s);  // into the 5 s fade of the second image
    kill(p.game->pid, SIGSTOP);       // as a shell's Ctrl+Z, or a suspended machine, would
    std::this_thread::sleep_for(4s);
    kill(p.game->pid, SIGCONT);
    const double intro = secondsToTheMenu(p, opened);
    for (pid_t pid : busy) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    EXPECT_TRUE(intro > 13 && intro < 17) << intro << " s: 10 s of intro and the 4 s stop";
}
