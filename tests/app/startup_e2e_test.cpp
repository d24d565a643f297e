// SPDX-License-Identifier: MIT
// The real game binary without a window: its start-up lines, exit status and files when SDL cannot
// start, when no video mode can be set, and when its output has gone. The end-to-end game tests
// start it in a real window.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "support/game_process.h"

using namespace std::chrono_literals;

namespace {

const Files kNoVideo{{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}};

// Waits for the game to have come as far as its sound (SDL's sound thread runs), then ends it as
// a session manager would; its exit status.
int runsOnUntilTerminated(GameProcess& game) {
    const auto threads = [&] {
        return std::distance(std::filesystem::directory_iterator("/proc/" + std::to_string(game.pid) + "/task"), {});
    };
    EXPECT_TRUE(waitUntil([&] { return !game.running() || threads() > 1; }, 20s));
    EXPECT_TRUE(game.running());
    game.signal(SIGTERM);
    return game.waitForExit();
}

}  // namespace

TEST(Startup, WhenSdlCannotStartItSaysSoOnceAndLeavesTheFilesAlone) {
    GameProcess game({{"SDL_VIDEODRIVER", "no-such-driver"}}, {{"highscore.lst", "someone\n5000\n"}});
    EXPECT_EQ(game.waitForExit(), 255);
    EXPECT_EQ(game.output(), "Couldn't init SDL\n");
    EXPECT_TRUE(game.dir.exists("game.cfg"));  // reading it made it, empty
    EXPECT_EQ(game.dir.read("game.cfg"), "");
    EXPECT_EQ(game.dir.read("highscore.lst"), "someone\n5000\n");
}

TEST(Startup, WithoutAVideoModeItReportsAndRunsOnUntilTerminated) {
    GameProcess game(kNoVideo, {{"game.cfg", "0 0 1 0"}});
    EXPECT_EQ(runsOnUntilTerminated(game), 0);
    const std::string rule(31, '-');
    const auto lines = game.lines();
    ASSERT_EQ(lines.size(), 8u) << game.output();
    EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 7),
              (std::vector<std::string>{"SDL Video Driver-name: dummy", "OpenGL Infos", rule,
                                        " Vendor: ", " Extensions: ", rule, "Couldn't go fullscreen"}));
    EXPECT_NE(lines[7], "") << "SDL's reason";
    EXPECT_EQ(game.dir.read("game.cfg"), "0 0 1 0");
}

// Lines that cannot be written are lost and nothing else changes: no SIGPIPE ends the game.
TEST(Startup, WithItsOutputGoneItRunsOnAndEndsInOrder) {
    GameProcess game(kNoVideo, {{"game.cfg", "0 0x1 1 00"}}, true);
    EXPECT_EQ(runsOnUntilTerminated(game), 0);
    EXPECT_EQ(game.dir.read("game.cfg"), "0 1 1 0");
}
