// SPDX-License-Identifier: MIT
// The real game binary started as a process: the start-up lines, the exit status and the files it
// leaves, when SDL cannot start, when no video mode can be set, and in a real window.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "support/game_process.h"
#include "support/temp_dir.h"
#include "support/x_screen.h"

using namespace std::chrono_literals;

namespace {

const std::string kRule = "-------------------------------";

void expectDiagnosticLines(const std::vector<std::string>& lines) {
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0].rfind("SDL Video Driver-name: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "OpenGL Infos");
    EXPECT_EQ(lines[2], kRule);
    EXPECT_EQ(lines[3].rfind(" Vendor: ", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4].rfind(" Extensions: ", 0), 0u) << lines[4];
    EXPECT_EQ(lines[5], kRule);
}

// The visible window titled exactly "Yuletumble"; 0 while there is none.
unsigned long titledWindow() {
    return std::strtoul(runCommand({"xdotool", "search", "--onlyvisible", "--name", "^Yuletumble$"}).c_str(), nullptr,
                        10);
}

}  // namespace

TEST(Startup, WhenSdlCannotStartItSaysSoOnceAndLeavesTheFilesAlone) {
    TempDir dir;
    const std::string table = "someone\n5000\n";
    dir.write("highscore.lst", table);
    GameProcess game(YT_GAME_BINARY, dir.path(), {{"SDL_VIDEODRIVER", "no-such-driver"}});
    int status = -1;
    ASSERT_TRUE(game.wait(20s, &status));
    EXPECT_EQ(status, 255);
    EXPECT_EQ(game.output(), "Couldn't init SDL\n");
    EXPECT_TRUE(dir.exists("game.cfg"));
    EXPECT_EQ(dir.read("game.cfg"), "");
    EXPECT_EQ(dir.read("highscore.lst"), table);
}

TEST(Startup, WithoutAVideoModeItReportsAndRunsOnUntilTerminated) {
    TempDir dir;
    dir.write("game.cfg", "0 0 1 0");
    GameProcess game(YT_GAME_BINARY, dir.path(), {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}});
    ASSERT_TRUE(waitUntil([&] { return game.outputLines().size() >= 8 || !game.running(); }, 20s));
    ASSERT_TRUE(game.running()) << game.output();
    const auto lines = game.outputLines();
    expectDiagnosticLines(lines);
    EXPECT_EQ(lines[0], "SDL Video Driver-name: dummy");
    EXPECT_EQ(lines[3], " Vendor: ");
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[6], "Couldn't go fullscreen");
    EXPECT_FALSE(lines[7].empty());
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(game.running());
    game.signal(SIGTERM);
    int status = -1;
    ASSERT_TRUE(game.wait(20s, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(dir.read("game.cfg"), "0 0 1 0");
}

// Lines that cannot be written are lost and nothing else changes: no SIGPIPE ends the game.
TEST(Startup, WithItsOutputGoneItRunsOnAndEndsInOrder) {
    TempDir dir;
    dir.write("game.cfg", "0 0x1 1 00");
    GameProcess game(YT_GAME_BINARY, dir.path(), {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}}, true);
    // The sound thread starts after the start-up lines have gone into the closed pipe.
    const auto threads = [&] {
        return std::distance(std::filesystem::directory_iterator("/proc/" + std::to_string(game.pid()) + "/task"),
                             std::filesystem::directory_iterator());
    };
    ASSERT_TRUE(waitUntil([&] { return !game.running() || threads() > 1; }, 20s));
    ASSERT_TRUE(game.running());
    game.signal(SIGTERM);
    int status = -1;
    ASSERT_TRUE(game.wait(20s, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(dir.read("game.cfg"), "0 1 1 0");
}

TEST(Startup, InARealWindowItShowsTheTitleHidesTheCursorAndClosesInOrder) {
    XScreen screen;
    if (!screen.ok()) GTEST_SKIP() << "no X display";
    TempDir dir;
    dir.write("game.cfg", "0 0 1 1");  // windowed, no music
    GameProcess game(YT_GAME_BINARY, dir.path(), {{"SDL_AUDIODRIVER", "dummy"}});
    unsigned long window = 0;
    ASSERT_TRUE(waitUntil([&] { return (window = titledWindow()) != 0 || !game.running(); }, 30s));
    ASSERT_NE(window, 0u) << game.output();
    const auto size = screen.windowSize(window);
    EXPECT_EQ(size[0], 640);
    EXPECT_EQ(size[1], 480);

    ASSERT_TRUE(waitUntil([&] { return game.outputLines().size() >= 6; }, 10s));
    const auto lines = game.outputLines();
    expectDiagnosticLines(lines);
    EXPECT_NE(lines[3].find("Mesa"), std::string::npos) << lines[3];
    EXPECT_GT(lines[4].size(), std::string(" Extensions: ").size());
    EXPECT_EQ(lines.size(), 6u);

    runCommand({"xdotool", "mousemove", "--window", std::to_string(window), "320", "240"});
    EXPECT_TRUE(waitUntil([&] { return screen.cursorHidden(); }, 5s));

    // Ask again until it ends: SDL may still replace its first window while it starts up.
    int status = -1;
    ASSERT_TRUE(waitUntil(
        [&] {
            screen.closeWindow(titledWindow());
            return game.wait(1s, &status);
        },
        20s));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(dir.read("game.cfg"), "0 0 1 1");
}
