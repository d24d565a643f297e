// SPDX-License-Identifier: MIT
// The real game started as players, desktops and launchers start it, well and badly. It either
// runs (its window drawn within 10 s) and ends in order when asked, or ends at once with a
// non-zero status and says why on standard error; either way the player's files are what they
// should be afterwards, byte for byte. The end-to-end game tests play it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "support/player.h"

using namespace std::chrono_literals;
using Start = Launch::Start;

namespace {

std::string table(const std::string& first = "stone\n100\n") {
    std::string t = first;
    for (int i = 1; i < 10; ++i) t += "stone\n100\n";
    return t;
}
const std::string kFifo = "(a FIFO, untouched)";  // in StartCase::after

// data/ as a directory of links to the real files, with the files named made by `make` instead.
auto dataWith(std::vector<std::string> names, void (*make)(const std::string& path)) {
    return [=](const TempDir& dir) {
        std::filesystem::remove(dir.file("data"));
        std::filesystem::create_directory(dir.file("data"));
        for (const auto& real : std::filesystem::directory_iterator(YT_SOURCE_DIR "/data"))
            std::filesystem::create_symlink(real.path(), dir.file("data") + "/" + real.path().filename().string());
        for (const std::string& name : names)
            std::filesystem::remove(dir.file("data/" + name)), make(dir.file("data/" + name));
    };
}
void fifo(const std::string& path) { mkfifo(path.c_str(), 0644); }
// A 1 KB image that claims 16384 x 16384 pixels: 8 bits a pixel, run-length coded, all of it one
// end-of-image code.
void hugeImage(const std::string& path) {
    std::string bmp = "BM";
    const auto le = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) bmp += static_cast<char>(v >> (8 * i));
    };
    const std::uint32_t start = 14 + 40 + 1024;
    le(start + 2, 4), le(0, 4), le(start, 4);                            // file header
    le(40, 4), le(16384, 4), le(16384, 4), le(1, 2), le(8, 2);           // size, planes, bits
    le(1, 4), le(2, 4), le(2835, 4), le(2835, 4), le(256, 4), le(0, 4);  // RLE8, data size, ..., colours
    std::ofstream(path, std::ios::binary) << bmp << std::string(1024, '\0') << std::string("\0\1", 2);
}

// Gives both player files this mode.
auto modeOfBoth(unsigned mode) {
    return [=](const TempDir& d) {
        chmod(d.file("game.cfg").c_str(), mode), chmod(d.file("highscore.lst").c_str(), mode);
    };
}
void fifos(const TempDir& d) {
    fifo(d.file("game.cfg")), fifo(d.file("highscore.lst")), dataWith({"font.bmp", "background.mp3"}, fifo)(d);
}

// How the game ends: by itself, as it cannot run, with the status given; or, once its window is
// drawn, by SIGTERM, SIGHUP or its X connection killed.
enum class End { cannotRun, terminate, hangUp, displayGone };
struct StartCase {
    const char* name;
    Launch launch;
    End end;
    int status;                    // its exit status
    Files after = {};              // the player's files afterwards; one not named is not there
    const char* output = nullptr;  // what standard output holds, as a pattern, where it matters
    const char* said = nullptr;    // the game's own last line on standard error, as a pattern; by
                                   // default some reason when it cannot run, and none when it runs
};

const Files kOld{{"game.cfg", "0 1  0 1"}, {"highscore.lst", "elf 5000"}};  // as no run writes them
const Files kOdd{{"game.cfg", "0  0 1 1"}, {"highscore.lst", "elf   5000"}},
    kSaved{{"game.cfg", "0 0 1 1"}, {"highscore.lst", table("elf\n5000\n")}};
const Files kWindowed{{"game.cfg", "0 0 1 1"}}, kNew{{"game.cfg", "0 0 1 1"}, {"highscore.lst", table()}};
const char* const kImages[] = {"logo.bmp", "presents.bmp", "game_logo.bmp", "merry_christmas.bmp", "snowflake.bmp"};

// clang-format off
const StartCase kCases[] = {
    // Before any window: SDL cannot start, or starts with no display to show the game on, or
    // without OpenGL. Nothing is written, and reading a file never makes it.
    {"SdlCannotStart", {.env = {{"SDL_VIDEODRIVER", "no-such-driver"}}, .files = kOld}, End::cannotRun, 255, kOld,
     "Couldn't init SDL\n"},
    {"NoDisplay", {.env = {{"DISPLAY", ""}}, .files = kOld}, End::cannotRun, 1, kOld, ""},
    {"NoServerAtTheDisplay", {.env = {{"DISPLAY", ":4321"}}}, End::cannotRun, 1},
    {"NoOpenGL", {.env = {{"SDL_VIDEODRIVER", "dummy"}}, .files = kOld}, End::cannotRun, 1, kOld,
     "SDL Video Driver-name: dummy\nOpenGL Infos\n-{31}\n Vendor: \n Extensions: \n-{31}\nCouldn't go fullscreen\n.+\n"},
    // Standard output closed, gone or full: the start-up lines are lost, the game runs.
    {"NoStandardOutput", {.files = kWindowed, .start = Start::outputClosed}, End::terminate, 0, kNew},
    {"OutputReaderGone", {.files = {{"game.cfg", "0 0x0 1 01"}}, .start = Start::outputGone}, End::terminate, 0, kNew},
    {"OutputPipeFull", {.files = kWindowed, .start = Start::outputFull}, End::terminate, 0, kNew},
    // Files it cannot or may not use: read as missing (a FIFO never blocks), left as they are;
    // with no write bit for anyone, by root too.
    {"FifosForFilesAndData", {.prepare = fifos}, End::terminate, 0, {{"game.cfg", kFifo}, {"highscore.lst", kFifo}}},
    {"UnreadablePlayerFiles", {.files = kOld, .start = Start::asPlayer, .prepare = modeOfBoth(0200)}, End::terminate, 0, kOld},
    {"WriteProtectedPlayerFiles", {.files = kOld, .prepare = modeOfBoth(0444)}, End::terminate, 0, kOld},
    {"ImagesClaimingHugeSizes", {.files = kWindowed, .prepare = dataWith({std::begin(kImages), std::end(kImages)}, hugeImage)},
     End::terminate, 0, kNew},
    // Started away from its data: grey boxes and silence, and a word on where it looked.
    {"NoData", {.files = kWindowed, .prepare = [](const TempDir& d) { std::filesystem::remove(d.file("data")); }},
     End::terminate, 0, kNew, "SDL Video Driver-name: x11\nOpenGL Infos\n-{31}\n Vendor: .*\n Extensions: .*\n-{31}\n",
     "yuletumble: no game data in /.+/data; start the game with its launcher \\(yuletumble\\), or from its source tree "
     "with bash scripts/run.sh"},
    // Ended by a hang-up, or by losing its display: both files saved, as at any other quit.
    {"HangUp", {.files = kOdd}, End::hangUp, 0, kSaved},
    {"DisplayGone", {.files = kOdd}, End::displayGone, 1, kSaved},
};
// clang-format on

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class Startup : public testing::TestWithParam<StartCase> {};

TEST_P(Startup, RunsOrSaysWhyAndLeavesTheFilesAsTheyShouldBe) {
    const StartCase& s = GetParam();
    std::unique_ptr<GameProcess> game;
    if (s.end == End::cannotRun) {
        game = std::make_unique<GameProcess>(s.launch);
        EXPECT_EQ(game->waitForExit(5s), s.status);
    } else {
        Player p(s.launch, 10s);
        if (s.end == End::displayGone)
            runCommand("xdotool windowkill " + std::to_string(p.window));
        else
            kill(p.game->pid, s.end == End::hangUp ? SIGHUP : SIGTERM);
        EXPECT_EQ(p.game->waitForExit(5s), s.status);
        game = std::move(p.game);
    }
    if (s.output) {
        EXPECT_TRUE(std::regex_match(game->output(), std::regex(s.output))) << game->output();
    }
    // Its own word comes last, after whatever the libraries said on the way.
    const std::string said = s.said ? s.said : "yuletumble: [^\n]+";
    EXPECT_EQ(std::regex_search(game->errors(), std::regex("(^|\n)" + said + "\n$")), s.said || s.end == End::cannotRun)
        << game->errors();
    for (const char* name : {"game.cfg", "highscore.lst"}) {
        const auto want = s.after.find(name);
        if (want == s.after.end())
            EXPECT_FALSE(game->dir.exists(name)) << name;
        else if (want->second == kFifo)
            EXPECT_TRUE(std::filesystem::is_fifo(game->dir.file(name))) << name;
        else
            EXPECT_EQ(game->dir.read(name), want->second) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Setups, Startup, testing::ValuesIn(kCases), [](const auto& c) { return c.param.name; });

}  // namespace
