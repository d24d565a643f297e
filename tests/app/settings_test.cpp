// SPDX-License-Identifier: MIT
// "game.cfg": reading C-notation values, the missing-value rule, the exact bytes written, and that
// a failed write never damages the file already there.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/settings.h"
#include "support/temp_dir.h"

namespace {

struct Flags {
    int fullscreen, music, reflection, snowflakes;
    bool operator==(const Flags&) const = default;
};

Flags flagsOf(const Settings& s) { return {s.fullscreen, s.music, s.reflection, s.snowflakes}; }

void PrintTo(const Flags& f, std::ostream* os) {
    *os << "fullscreen " << f.fullscreen << " music " << f.music << " reflection " << f.reflection << " snowflakes "
        << f.snowflakes;
}

Flags loadText(const std::string& text, Flags before = {1, 1, 1, 1}) {
    TempDir dir;
    dir.write("game.cfg", text);
    Settings s;
    s.fullscreen = before.fullscreen;
    s.music = before.music;
    s.reflection = before.reflection;
    s.snowflakes = before.snowflakes;
    s.load(dir.file("game.cfg").c_str());
    return flagsOf(s);
}

}  // namespace

TEST(SettingsFile, ReadsValuesInFileOrderAsZeroOrNonZero) {
    EXPECT_EQ(loadText("0 1 0 1"), (Flags{0, 1, 0, 1}));
    // Signs, hexadecimal and octal are C notation; only zero / not zero matters.
    EXPECT_EQ(loadText("5 -3 0x10 00"), (Flags{1, 1, 1, 0}));
    EXPECT_EQ(loadText("+0 0X0 007 0xff"), (Flags{0, 0, 1, 1}));
    // Line ends, tabs and runs of blanks read as single blanks.
    EXPECT_EQ(loadText("\n\n 0\t\t1\r\n0   \n\n1\n"), (Flags{0, 1, 0, 1}));
    // Huge numbers are simply not zero.
    EXPECT_EQ(loadText("999999999999999 0 4294967296 -2147483649"), (Flags{1, 0, 1, 1}));
}

TEST(SettingsFile, ANumberEndsWhereItCannotContinue) {
    // "09" is the octal 0 followed by the decimal 9; "0x" without a hex digit is 0 followed by "x".
    EXPECT_EQ(loadText("09 0 1"), (Flags{0, 1, 0, 1}));
    EXPECT_EQ(loadText("1 0x 1 1", {0, 0, 0, 0}), (Flags{1, 0, 0, 0}));
    // At most 15 characters make one value: the 16th starts the next one.
    EXPECT_EQ(loadText("0000000000000001 0 0"), (Flags{0, 1, 0, 0}));
}

TEST(SettingsFile, ANonNumberTurnsItsFlagOffAndLeavesTheRestMissing) {
    EXPECT_EQ(loadText("1 x 1 1", {0, 1, 0, 0}), (Flags{1, 0, 0, 0}));
    EXPECT_EQ(loadText("- 1 1 1"), (Flags{0, 1, 1, 1}));
    EXPECT_EQ(loadText("1 0 + 0", {1, 1, 1, 1}), (Flags{1, 0, 0, 1}));
}

TEST(SettingsFile, MissingValuesKeepTheirFlags) {
    EXPECT_EQ(loadText(""), (Flags{1, 1, 1, 1}));
    EXPECT_EQ(loadText("0 0", {1, 1, 1, 1}), (Flags{0, 0, 1, 1}));
    EXPECT_EQ(loadText("   \n\t", {0, 1, 0, 1}), (Flags{0, 1, 0, 1}));
}

TEST(SettingsFile, BadInputGivesDefinedFlags) {
    std::string garbage;
    unsigned x = 12345;
    for (int i = 0; i < 100000; ++i) {
        x = x * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(x >> 16));
    }
    const Flags g = loadText(garbage);
    for (int v : {g.fullscreen, g.music, g.reflection, g.snowflakes}) EXPECT_TRUE(v == 0 || v == 1);

    std::string manyLines(200000, '\n');
    EXPECT_EQ(loadText(manyLines + "0 0 0 0", {1, 1, 1, 1}), (Flags{0, 0, 0, 0}));
    EXPECT_EQ(loadText(std::string("1\0 1 1 1", 8), {0, 0, 0, 0}), (Flags{1, 0, 0, 0}));
}

TEST(SettingsFile, MissingFileIsCreatedEmptyAndDefaultsStay) {
    TempDir dir;
    Settings s;
    s.load(dir.file("game.cfg").c_str());
    EXPECT_EQ(flagsOf(s), (Flags{1, 1, 1, 1}));
    EXPECT_TRUE(dir.exists("game.cfg"));
    EXPECT_EQ(dir.read("game.cfg"), "");
}

TEST(SettingsFile, SaveWritesExactlySevenCharactersAndReadsBack) {
    TempDir dir;
    const std::string path = dir.file("game.cfg");
    dir.write("game.cfg", "5 -3 0x10 00");
    Settings s;
    s.load(path.c_str());
    ASSERT_TRUE(s.save(path.c_str()));
    EXPECT_EQ(dir.read("game.cfg"), "1 1 1 0");

    s.fullscreen = 0;
    s.music = 1;
    s.reflection = 0;
    s.snowflakes = 1;
    ASSERT_TRUE(s.save(path.c_str()));
    EXPECT_EQ(dir.read("game.cfg"), "0 1 0 1");
    Settings again;
    again.load(path.c_str());
    EXPECT_EQ(flagsOf(again), (Flags{0, 1, 0, 1}));
}

TEST(SettingsFile, AFailedWriteLeavesTheOldFileWhole) {
    if (geteuid() == 0) {
        // Root ignores directory permissions; a missing directory still makes the write fail.
        TempDir dir;
        Settings s;
        EXPECT_FALSE(s.save(dir.file("no-such-dir/game.cfg").c_str()));
    }
    TempDir dir;
    dir.write("game.cfg", "0 0 0 0");
    ASSERT_EQ(chmod(dir.path().c_str(), 0500), 0);
    Settings s;
    const bool saved = s.save(dir.file("game.cfg").c_str());
    chmod(dir.path().c_str(), 0700);
    if (geteuid() != 0) {
        EXPECT_FALSE(saved);
    }
    if (!saved) {
        EXPECT_EQ(dir.read("game.cfg"), "0 0 0 0");
    }
    // No temporary file is left behind either way.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
}
