// The high-score table: places and insertion with ties, the "highscore.lst" format in both
// directions, damaged and hand-edited files, and saves that must never lose the old file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "ui/highscore_table.h"

namespace {

using Rows = std::vector<std::pair<std::string, unsigned>>;

Rows rowsOf(const HighscoreTable& t) {
    Rows rows;
    for (const HighscoreEntry& e : t.entries()) rows.emplace_back(e.name, e.score);
    return rows;
}

Rows withDefaults(Rows head) {
    while (head.size() < 10) head.emplace_back("stone", 100);
    return head;
}

Rows readRows(const std::string& text) {
    HighscoreTable t;
    t.readText(text);
    return rowsOf(t);
}

std::string defaultFile() {
    std::string s;
    for (int i = 0; i < 10; ++i) s += "stone\n100\n";
    return s;
}

}  // namespace

TEST(HighscoreTable, RankOfAndInsertKeepOlderEntriesAboveEqualScores) {
    HighscoreTable t;
    EXPECT_EQ(t.rankOf(0), 0);
    EXPECT_EQ(t.rankOf(100), 0);
    EXPECT_EQ(t.rankOf(101), 1);

    t.readText("a 500 b 400 c 400 d 300 e 100 f 100 g 100 h 100 i 100 j 100");
    EXPECT_EQ(t.rankOf(400), 4);
    EXPECT_EQ(t.rankOf(401), 2);
    EXPECT_EQ(t.rankOf(100), 0);
    EXPECT_EQ(t.rankOf(101), 5);
    EXPECT_EQ(t.rankOf(4294967295u), 1);

    t.insert("new", 400);
    EXPECT_EQ(rowsOf(t), (Rows{{"a", 500}, {"b", 400}, {"c", 400}, {"new", 400}, {"d", 300},
                               {"e", 100}, {"f", 100}, {"g", 100}, {"h", 100}, {"i", 100}}));

    // The tenth entry goes whatever its score; names are cut to the 19 characters that fit.
    t.insert("a name far too long for the table", 1);
    EXPECT_STREQ(t.entries()[9].name, "a name far too long");
    EXPECT_EQ(t.entries()[9].score, 1u);
    EXPECT_EQ(t.entries()[8].score, 100u);
    t.insert(nullptr, 2);
    EXPECT_STREQ(t.entries()[9].name, "");
}

TEST(HighscoreTable, SavesTheDefaultsAsTenPairsOfLines) {
    TempDir dir;
    HighscoreTable t;
    ASSERT_TRUE(t.save(dir.file("highscore.lst").c_str()));
    EXPECT_EQ(dir.read("highscore.lst"), defaultFile());
    // Nothing but the file is left in the directory.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(HighscoreTable, SpacesUnderscoresAndEmptyNamesRoundTrip) {
    HighscoreTable t;
    const char* names[] = {"Santa Claus", "elf_42", "", "  ", "~", "~~", "a~", "_", "nineteen characters"};
    unsigned score = 1000;
    for (const char* n : names) t.insert(n, score--);
    const std::string first = t.toText();
    EXPECT_EQ(first,
              "Santa_Claus\n1000\nelf_42\n999\n~\n998\n__\n997\n~~\n996\n~~~\n995\na~\n994\n_\n993\n"
              "nineteen_characters\n992\nstone\n100\n");

    TempDir dir;
    const std::string path = dir.file("highscore.lst");
    ASSERT_TRUE(t.save(path.c_str()));
    HighscoreTable back;
    back.load(path.c_str());
    // An underscore typed by the player comes back as a blank; everything else as it was.
    EXPECT_EQ(rowsOf(back), (Rows{{"Santa Claus", 1000}, {"elf 42", 999}, {"", 998}, {"  ", 997}, {"~", 996},
                                  {"~~", 995}, {"a~", 994}, {" ", 993}, {"nineteen characters", 992},
                                  {"stone", 100}}));
    ASSERT_TRUE(back.save(path.c_str()));
    EXPECT_EQ(dir.read("highscore.lst"), first);
}

TEST(HighscoreTable, ShortFilesAndFileOrder) {
    // Three records fill places 1 to 3; the rest keep their defaults.
    EXPECT_EQ(readRows("ann\n900\nbob\n800\ncy\n700\n"), withDefaults({{"ann", 900}, {"bob", 800}, {"cy", 700}}));
    // Rising scores are taken in file order, and places are counted in that order.
    HighscoreTable rising;
    rising.readText("a 1\nb 2\nc 3\nd 4\ne 5\nf 6\ng 7\nh 8\ni 9\nj 10\n");
    EXPECT_EQ(rising.entries()[0].score, 1u);
    EXPECT_EQ(rising.entries()[9].score, 10u);
    EXPECT_EQ(rising.rankOf(2), 1);
    // CRLF line ends, tabs and blank lines are all just white space.
    EXPECT_EQ(readRows("ann\r\n900\r\n\r\n\tbob\r\n800\r\n"), withDefaults({{"ann", 900}, {"bob", 800}}));
    // A name ended by the end of the file is taken whole; its score keeps the default.
    EXPECT_EQ(readRows("ann 900 bo"), withDefaults({{"ann", 900}, {"bo", 100}}));
    EXPECT_EQ(readRows("ann 9"), withDefaults({{"ann", 9}}));
    EXPECT_EQ(readRows(""), withDefaults({}));
}

TEST(HighscoreTable, ScoreTokensInCNotation) {
    EXPECT_EQ(readRows("a 0x1F b 017 c 0 d 0XfF e +7"),
              withDefaults({{"a", 31}, {"b", 15}, {"c", 0}, {"d", 255}, {"e", 7}}));
    // A number ends where it cannot continue; the rest starts the next name.
    EXPECT_EQ(readRows("a 12ab 5 b 09 6"), withDefaults({{"a", 12}, {"ab", 5}, {"b", 0}, {"9", 6}}));
    EXPECT_EQ(readRows("a 0x b 3"), withDefaults({{"a", 0}, {"x", 0}}));  // "b" is no number
    // A negative score is the lowest there is, and reading goes on.
    EXPECT_EQ(readRows("a -5 b -99999999999 c 3"), withDefaults({{"a", 0}, {"b", 0}, {"c", 3}}));
    EXPECT_EQ(readRows("a 4294967295 b 1"), withDefaults({{"a", 4294967295u}, {"b", 1}}));
}

TEST(HighscoreTable, ABadScoreStopsTheReading) {
    // Not a number: 0, and every later field keeps its value.
    EXPECT_EQ(readRows("a 5 b x c 7"), withDefaults({{"a", 5}, {"b", 0}}));
    EXPECT_EQ(readRows("a - b 7"), withDefaults({{"a", 0}}));
    // Too large: the largest score, and the same stop.
    EXPECT_EQ(readRows("a 4294967296 b 7"), withDefaults({{"a", 4294967295u}}));
    EXPECT_EQ(readRows("a 0x100000000 b 7"), withDefaults({{"a", 4294967295u}}));
    EXPECT_EQ(readRows("a 99999999999999999999999999999999 b 7"), withDefaults({{"a", 4294967295u}}));
    // Underscores still turn into blanks on every entry read before the stop.
    EXPECT_EQ(readRows("x_y oops"), withDefaults({{"x y", 0}}));
}

TEST(HighscoreTable, LongNamesAndGarbageStayInsideTheNameField) {
    const std::string longName(40, 'q');
    EXPECT_EQ(readRows(longName + " 5 bob 6"), withDefaults({{std::string(19, 'q'), 5}, {"bob", 6}}));
    // A tilde-only token is read before it is cut: 25 tildes are 24, cut to 19.
    EXPECT_EQ(readRows(std::string(25, '~') + " 5"), withDefaults({{std::string(19, '~'), 5}}));
    // A NUL byte ends a name; the rest of its token is skipped.
    EXPECT_EQ(readRows(std::string("ab\0cd 5 e 6", 11)), withDefaults({{"ab", 5}, {"e", 6}}));

    std::string garbage;
    unsigned seed = 12345;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    HighscoreTable t;
    t.readText(garbage);
    HighscoreTable back;
    back.readText(t.toText());
    EXPECT_EQ(rowsOf(back), rowsOf(t));
    for (const HighscoreEntry& e : t.entries()) EXPECT_LE(std::string(e.name).size(), 19u);
}

TEST(HighscoreTable, LoadCreatesAMissingFileAndReadsOnlyTheStartOfAHugeOne) {
    TempDir dir;
    HighscoreTable t;
    t.load(dir.file("highscore.lst").c_str());
    EXPECT_TRUE(dir.exists("highscore.lst"));
    EXPECT_EQ(dir.read("highscore.lst"), "");
    EXPECT_EQ(rowsOf(t), withDefaults({}));

    // A directory that does not exist: nothing changes.
    t.load(dir.file("none/highscore.lst").c_str());
    EXPECT_EQ(rowsOf(t), withDefaults({}));

    // Records past the first megabyte are never reached.
    dir.write("huge.lst", "ann 900\n" + std::string(HighscoreTable::kMaxFileBytes, ' ') + "bob 800\n");
    t.load(dir.file("huge.lst").c_str());
    EXPECT_EQ(rowsOf(t), withDefaults({{"ann", 900}}));
}

TEST(HighscoreTable, AFailedSaveLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string path = dir.file("highscore.lst");
    HighscoreTable t;
    t.insert("winner", 5000);

    // No such directory, or a directory in the file's place.
    EXPECT_FALSE(t.save(dir.file("missing/highscore.lst").c_str()));
    std::filesystem::create_directory(dir.file("taken"));
    dir.write("taken/inside", "keep");
    EXPECT_FALSE(t.save(dir.file("taken").c_str()));
    EXPECT_EQ(dir.read("taken/inside"), "keep");

    // A disk that fills up while the file is written (works even for root, unlike permissions).
    const std::string old = "old\n1\n";
    dir.write("highscore.lst", old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = t.save(path.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(dir.read("highscore.lst"), old);

    // A directory that cannot be written, where permissions apply.
    if (geteuid() != 0) {
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_FALSE(t.save(path.c_str()));
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
        EXPECT_EQ(dir.read("highscore.lst"), old);
    }
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}
