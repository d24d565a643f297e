// SPDX-License-Identifier: MIT
// Replacing a player's file ("game.cfg", "highscore.lst") never loses the old one and respects what
// the player set up: a write-protected file stays, a link stays a link and its target gets the new
// bytes, the file keeps its permission bits.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "files/player_file.h"
#include "files/settings.h"
#include "support/temp_dir.h"

namespace {

unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

int entries(const std::string& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

// Runs `save` as an ordinary user, in a child process when the tests run as root (root may write
// any file). True when it reported success.
bool savedAsOrdinaryUser(const TempDir& dir, const std::function<bool()>& save) {
    if (geteuid() != 0) return save();
    const uid_t nobody = 65534;
    if (chown(dir.path().c_str(), nobody, nobody) != 0) return true;
    const pid_t pid = fork();
    if (pid == 0) _exit(setgid(nobody) == 0 && setuid(nobody) == 0 && !save() ? 1 : 0);
    int status = 0;
    waitpid(pid, &status, 0);
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 1);
}

}  // namespace

TEST(PlayerFile, AFileThatCannotBeReplacedStaysWholeAsItWas) {
    TempDir dir;
    EXPECT_FALSE(replaceFileContents(dir.file("missing/game.cfg").c_str(), "1 1 1 1"));
    // A disk that fills up while the new file is written (unlike permissions, this stops root too).
    dir.write("highscore.lst", "old\n1\n");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool replaced = replaceFileContents(dir.file("highscore.lst").c_str(), std::string(64, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(dir.read("highscore.lst"), "old\n1\n");
    // A file the player made read-only is theirs to keep as it is.
    const std::string path = dir.file("game.cfg");
    dir.write("game.cfg", "0 0 0 0");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(savedAsOrdinaryUser(dir, [&] { return Settings().save(path.c_str()); }));
    EXPECT_EQ(dir.read("game.cfg"), "0 0 0 0");
    EXPECT_EQ(modeOf(path), 0444u);
    EXPECT_EQ(entries(dir.path()), 2) << "a temporary file was left behind";
}

TEST(PlayerFile, ALinkIsFollowedAndStaysAndTheFileKeepsItsPermissions) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("disk").c_str(), 0700), 0);
    dir.write("disk/table.lst", "old");
    // A relative link to a link: both stay, the final target gets the bytes and keeps its mode.
    ASSERT_EQ(symlink("disk/table.lst", dir.file("highscore.lst").c_str()), 0);
    ASSERT_EQ(symlink("highscore.lst", dir.file("second.lst").c_str()), 0);
    for (unsigned mode : {0600u, 0640u}) {
        ASSERT_EQ(chmod(dir.file("disk/table.lst").c_str(), mode), 0);
        ASSERT_TRUE(replaceFileContents(dir.file("second.lst").c_str(), "new" + std::to_string(mode)));
        EXPECT_EQ(dir.read("disk/table.lst"), "new" + std::to_string(mode));
        EXPECT_EQ(modeOf(dir.file("disk/table.lst")), mode);
    }
    EXPECT_EQ(std::filesystem::read_symlink(dir.file("second.lst")), "highscore.lst");
    EXPECT_EQ(std::filesystem::read_symlink(dir.file("highscore.lst")), "disk/table.lst");
    // A dangling link is a missing file at its target.
    ASSERT_EQ(symlink(dir.file("disk/missing.cfg").c_str(), dir.file("game.cfg").c_str()), 0);
    ASSERT_TRUE(replaceFileContents(dir.file("game.cfg").c_str(), "1 1 1 1"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("game.cfg")));
    EXPECT_EQ(dir.read("disk/missing.cfg"), "1 1 1 1");
    EXPECT_EQ(entries(dir.path()) + entries(dir.file("disk")), 6);
}
