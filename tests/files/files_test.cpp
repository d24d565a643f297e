// SPDX-License-Identifier: MIT
// The player's files. "game.cfg": the values in C notation, what a missing or broken value does,
// and a missing file left missing; what a save writes, the end-to-end tests read back, and that it
// reads back as it was, the fuzzer checks. Replacing a player's file ("game.cfg", "highscore.lst")
// never loses the old one and respects what the player set up: a write-protected file stays, a link
// stays a link and its target gets the new bytes, the file keeps its permission bits. Where a whole
// new file cannot take the old one's place (a directory the user cannot write, a second hard link)
// the old one is written in place.
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

struct stat statOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

long entries(const std::string& dir) { return std::ranges::distance(std::filesystem::directory_iterator(dir)); }

// Runs `save` in a child process as an ordinary user (uid 65534 when the tests run as root, who may
// write any file), with `dir` theirs and of `mode` meanwhile. True when it reported success.
bool savedAsOrdinaryUser(const TempDir& dir, unsigned mode, const std::function<bool()>& save) {
    const uid_t nobody = 65534;
    const bool root = geteuid() == 0;
    EXPECT_EQ(std::pair(root ? chown(dir.path().c_str(), nobody, nobody) : 0, chmod(dir.path().c_str(), mode)),
              std::pair(0, 0));
    if (fork() == 0) _exit(root && (setgroups(0, nullptr) || setgid(nobody) || setuid(nobody)) ? 2 : !save());
    int status = 0;
    wait(&status);
    chmod(dir.path().c_str(), 0700);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2) << "could not run as an ordinary user: " << status;
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
        ASSERT_TRUE(links == 1 || link(dir.file("highscore.lst").c_str(), dir.file("shared.lst").c_str()) == 0);
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit small{16, saved.rlim_max};
        const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool replaced = replaceFileContents(dir.file("highscore.lst").c_str(), std::string(64, 'x'));
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(std::pair(replaced, dir.read("highscore.lst")), std::pair(false, std::string("old\n1\n"))) << links;
    }
    EXPECT_EQ(entries(dir.path()), 2) << "a temporary file was left behind";
}

TEST(PlayerFile, AWritableFileIsSavedAndAProtectedOneStaysWhetherTheUserMayWriteTheDirectoryOrNot) {
    TempDir dir;
    const std::string open = dir.file("game.cfg"), kept = dir.file("highscore.lst");
    dir.write("highscore.lst", "0 0 0 0");
    ASSERT_EQ(chmod(kept.c_str(), 0444), 0);  // the player's wish to keep their own file as it is
    ASSERT_TRUE(geteuid() != 0 || chown(kept.c_str(), 65534, 65534) == 0);
    // Without the directory, the file is written in place (over a longer file here), and so is a
    // file of another user's (root's, when the tests run as root), which keeps its owner.
    for (unsigned dirMode : {0700u, 0555u}) {
        dir.write("game.cfg", "1 0 1 15");
        ASSERT_EQ(chmod(open.c_str(), 0646), 0);  // writable by the user, as by a group of players
        EXPECT_TRUE(savedAsOrdinaryUser(dir, dirMode, [&] {
            return Settings().save(open.c_str()) && !Settings().save(kept.c_str());
        })) << dirMode;
        const struct stat saved = statOf(open);  // its mode and owner kept
        EXPECT_EQ(std::tuple(dir.read("game.cfg"), saved.st_mode & 07777, saved.st_uid),
                  std::tuple(std::string("1 1 1 1"), 0646u, geteuid()));
        EXPECT_EQ(std::pair(dir.read("highscore.lst"), statOf(kept).st_mode & 07777),
                  std::pair(std::string("0 0 0 0"), 0444u));
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
        EXPECT_EQ(statOf(dir.file("disk/table.lst")).st_mode & 07777, mode);
    }
    // A second hard link, which a rename would leave with the old contents, gets the new ones too.
    ASSERT_EQ(link(dir.file("disk/table.lst").c_str(), dir.file("disk/copy.lst").c_str()), 0);
    const std::string newer = "newer and longer";
    ASSERT_TRUE(replaceFileContents(dir.file("second.lst").c_str(), newer));
    EXPECT_EQ(std::pair(dir.read("disk/copy.lst"), dir.read("disk/table.lst")), std::pair(newer, newer));
    EXPECT_EQ(std::pair(std::filesystem::read_symlink(dir.file("second.lst")),
                        std::filesystem::read_symlink(dir.file("highscore.lst"))),
              std::pair(std::filesystem::path("highscore.lst"), std::filesystem::path("disk/table.lst")));
    // A dangling link is a missing file at its target, made as a plain fopen would make it (0666
    // less the umask, which stays as it was).
    ASSERT_EQ(symlink(dir.file("disk/missing.cfg").c_str(), dir.file("game.cfg").c_str()), 0);
    const mode_t mask = umask(027);
    ASSERT_TRUE(replaceFileContents(dir.file("game.cfg").c_str(), "1 1 1 1"));
    EXPECT_EQ(umask(mask), 027u);
    EXPECT_EQ(std::tuple(std::filesystem::is_symlink(dir.file("game.cfg")), dir.read("disk/missing.cfg"),
                         statOf(dir.file("disk/missing.cfg")).st_mode & 07777),
              std::tuple(true, std::string("1 1 1 1"), 0640u));
    EXPECT_EQ(entries(dir.path()) + entries(dir.file("disk")), 7);
}

TEST(SettingsFile, ReadsValuesInFileOrderAsZeroOrNonZeroAndCreatesAMissingFileEmpty) {
    struct Case {
        std::string text;
        std::string before, after;  // "fullscreen music reflection snowflakes"
    };
    const Case cases[] = {
        {"\n\n 0\t\t1\r\n0   \n\n1\n", "1111", "0101"},                // any white space between values
        {"999999999999999 0 4294967296 -2147483649", "0000", "1011"},  // too large is still not zero
        {"09 0 1", "1111", "0101"},                                    // octal 0, then a decimal 9
        {"1 0x 1 1", "0000", "1000"},                                  // 0, then "x": not a number
        {"0000000000000001 0 0", "1111", "0100"},                      // 15 characters make a value
        {"1 x 1 1", "0100", "1000"},                                   // not a number: off, and the rest missing
        {"1 1 1 0 5", "0000", "1110"},  // a save in place cut short: the new values, a blank, the old tail
        {"- 1 1 1", "1111", "0111"},
        {"0 0", "1111", "0011"},  // missing values keep their flags
        {"", "0101", "0101"},     // no file at all, and reading does not make one
        {std::string(200000, '\n') + "0 0 0 0", "1111", "0000"},
        {std::string("1\0 1 1 1", 8), "0000", "1000"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (!c.text.empty()) dir.write("game.cfg", c.text);
        Settings s;
        unsigned char* flags[] = {&s.fullscreen, &s.music, &s.reflection, &s.snowflakes};
        for (int i = 0; i < 4; ++i) *flags[i] = c.before[i] == '1';
        s.load(dir.file("game.cfg").c_str());
        std::string after;
        for (unsigned char* f : flags) after += static_cast<char>('0' + *f);
        EXPECT_EQ(after, c.after) << c.text.substr(0, 40);
        EXPECT_EQ(std::pair(dir.exists("game.cfg"), dir.read("game.cfg")), std::pair(!c.text.empty(), c.text))
            << "reading changed the file";
    }
}
