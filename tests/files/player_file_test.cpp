// SPDX-License-Identifier: MIT
// Replacing a player's file ("game.cfg", "highscore.lst") never loses the old one and respects what
// the player set up: a write-protected file stays, a link stays a link and its target gets the new
// bytes, the file keeps its permission bits. Where a whole new file cannot take the old one's place
// (a directory the user cannot write, a second hard link) the old one is written in place.
#include <grp.h>
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

// Runs `save` in a child process as an ordinary user (uid 65534 when the tests run as root, who may
// write any file), with `dir` theirs and of `mode` meanwhile. True when it reported success.
bool savedAsOrdinaryUser(const TempDir& dir, unsigned mode, const std::function<bool()>& save) {
    const uid_t nobody = 65534;
    const bool root = geteuid() == 0;
    EXPECT_TRUE((!root || chown(dir.path().c_str(), nobody, nobody) == 0) && chmod(dir.path().c_str(), mode) == 0);
    if (fork() == 0) _exit(root && (setgroups(0, nullptr) || setgid(nobody) || setuid(nobody)) ? 2 : !save());
    int status = 0;
    wait(&status);
    chmod(dir.path().c_str(), 0700);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2) << "could not run as an ordinary user";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST(PlayerFile, AFileThatCannotBeReplacedStaysWholeAsItWas) {
    TempDir dir;
    EXPECT_FALSE(replaceFileContents(dir.file("missing/game.cfg").c_str(), "1 1 1 1"));
    // A disk that fills up while the new file is written (unlike permissions, this stops root
    // too): replaced whole, then, with a second hard link, in place.
    dir.write("highscore.lst", "old\n1\n");
    for (int links = 1; links <= 2; ++links) {
        if (links == 2) {
            ASSERT_EQ(link(dir.file("highscore.lst").c_str(), dir.file("shared.lst").c_str()), 0);
        }
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
    }
    EXPECT_EQ(entries(dir.path()), 2) << "a temporary file was left behind";
}

TEST(PlayerFile, AWritableFileIsSavedAndAProtectedOneStaysWhetherTheUserMayWriteTheDirectoryOrNot) {
    TempDir dir;
    const std::string open = dir.file("game.cfg"), kept = dir.file("highscore.lst");
    dir.write("highscore.lst", "0 0 0 0");
    ASSERT_EQ(chmod(kept.c_str(), 0444), 0);  // the player's wish to keep it as it is
    // Without the directory, the file is written in place (over a longer file here), and so is a
    // file of another user's (root's, when the tests run as root), which keeps its owner.
    for (unsigned dirMode : {0700u, 0555u}) {
        dir.write("game.cfg", "1 0 1 15");
        ASSERT_EQ(chmod(open.c_str(), 0646), 0);  // writable by the user, as by a group of players
        EXPECT_TRUE(savedAsOrdinaryUser(dir, dirMode, [&] {
            return Settings().save(open.c_str()) && !Settings().save(kept.c_str());
        })) << dirMode;
        EXPECT_EQ(dir.read("game.cfg"), "1 1 1 1");
        EXPECT_EQ(modeOf(open), 0646u);
        struct stat st {};
        EXPECT_TRUE(stat(open.c_str(), &st) == 0 && st.st_uid == geteuid()) << "the owner changed";
        EXPECT_EQ(dir.read("highscore.lst"), "0 0 0 0");
        EXPECT_EQ(modeOf(kept), 0444u);
    }
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
    // A second hard link, which a rename would leave with the old contents, gets the new ones too.
    ASSERT_EQ(link(dir.file("disk/table.lst").c_str(), dir.file("disk/copy.lst").c_str()), 0);
    ASSERT_TRUE(replaceFileContents(dir.file("second.lst").c_str(), "newer and longer"));
    EXPECT_EQ(dir.read("disk/copy.lst"), "newer and longer");
    EXPECT_EQ(dir.read("disk/table.lst"), "newer and longer");
    EXPECT_EQ(std::filesystem::read_symlink(dir.file("second.lst")), "highscore.lst");
    EXPECT_EQ(std::filesystem::read_symlink(dir.file("highscore.lst")), "disk/table.lst");
    // A dangling link is a missing file at its target.
    ASSERT_EQ(symlink(dir.file("disk/missing.cfg").c_str(), dir.file("game.cfg").c_str()), 0);
    ASSERT_TRUE(replaceFileContents(dir.file("game.cfg").c_str(), "1 1 1 1"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("game.cfg")));
    EXPECT_EQ(dir.read("disk/missing.cfg"), "1 1 1 1");
    EXPECT_EQ(entries(dir.path()) + entries(dir.file("disk")), 7);
}
