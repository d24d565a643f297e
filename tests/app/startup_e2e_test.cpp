// SPDX-License-Identifier: MIT
// The real game binary without a window: its start-up lines, exit status and files when SDL cannot
// start, when no video mode can be set, and when its output has gone. The end-to-end game tests
// start it in a real window.
#include <gtest/gtest.h>
#include <signal.h>

#include <regex>

#include "support/game_process.h"

using namespace std::chrono_literals;

namespace {

const Files kNoVideo{{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", "audio.raw"}};

// Waits until the game has come as far as its sound (SDL's disk driver has made its file), then
// ends it as a session manager would; its exit status.
int runsOnUntilTerminated(GameProcess& game) {
    EXPECT_TRUE(waitUntil([&] { return game.dir.exists("audio.raw") || !game.running(); }, 20s));
    EXPECT_TRUE(game.running());
    kill(game.pid, SIGTERM);
    return game.waitForExit();
}

}  // namespace

TEST(Startup, WhenSdlCannotStartItSaysSoOnceAndLeavesTheFilesAlone) {
    // The settings as no run of the game would write them.
    GameProcess game({{"SDL_VIDEODRIVER", "no-such-driver"}},
                     {{"game.cfg", "1  0x1 0 5"}, {"highscore.lst", "elf\n5000\n"}});
    EXPECT_EQ(game.waitForExit(), 255);
    EXPECT_EQ(game.output(), "Couldn't init SDL\n");
    EXPECT_EQ(game.dir.read("game.cfg"), "1  0x1 0 5");
    EXPECT_EQ(game.dir.read("highscore.lst"), "elf\n5000\n");
}

TEST(Startup, WithoutAVideoModeItReportsAndRunsOnUntilTerminated) {
    GameProcess game(kNoVideo, {{"game.cfg", "0 0 1 0"}});
    EXPECT_EQ(runsOnUntilTerminated(game), 0);
    // The GL strings are empty without a context; the last line is SDL's reason.
    const std::regex lines(
        "SDL Video Driver-name: dummy\nOpenGL Infos\n-{31}\n Vendor: \n Extensions: \n-{31}\n"
        "Couldn't go fullscreen\n.+\n");
    EXPECT_TRUE(std::regex_match(game.output(), lines)) << game.output();
    EXPECT_EQ(game.dir.read("game.cfg"), "0 0 1 0");
}

// Lines that cannot be written are lost and nothing else changes: no SIGPIPE ends the game.
TEST(Startup, WithItsOutputGoneItRunsOnAndEndsInOrder) {
    GameProcess game(kNoVideo, {{"game.cfg", "0 0x1 1 00"}}, GameProcess::Start::outputClosed);
    EXPECT_EQ(runsOnUntilTerminated(game), 0);
    EXPECT_EQ(game.dir.read("game.cfg"), "0 1 1 0");
}
