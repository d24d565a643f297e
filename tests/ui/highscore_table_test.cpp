// SPDX-License-Identifier: MIT
// The high-score table: places and insertion with ties, the "highscore.lst" format both ways,
// damaged and hand-edited files, and saves that must never lose the old file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

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

// The table a text gives, as its first rows; the rest must still be the defaults.
Rows headOf(const std::string& text) {
    HighscoreTable t;
    t.readText(text);
    Rows rows = rowsOf(t);
    while (!rows.empty() && rows.back() == Rows::value_type("stone", 100)) rows.pop_back();
    return rows;
}

size_t filesIn(const TempDir& dir) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

}  // namespace

TEST(HighscoreTable, RankOfAndInsertKeepOlderEntriesAboveEqualScores) {
    HighscoreTable t;
    EXPECT_TRUE(t.rankOf(100) == 0 && t.rankOf(101) == 1);
    t.readText("a 500 b 400 c 400 d 300 e 100 f 100 g 100 h 100 i 100 j 100");
    for (auto [points, rank] : {std::pair{400u, 4}, {401u, 2}, {100u, 0}, {101u, 5}})
        EXPECT_EQ(t.rankOf(points), rank) << points;
    t.insert("new", 400);
    EXPECT_EQ(rowsOf(t), (Rows{{"a", 500},
                               {"b", 400},
                               {"c", 400},
                               {"new", 400},
                               {"d", 300},
                               {"e", 100},
                               {"f", 100},
                               {"g", 100},
                               {"h", 100},
                               {"i", 100}}));
    // The tenth entry goes whatever its score; names are cut to the 19 characters that fit.
    t.insert("a name far too long for the table", 1);
    EXPECT_EQ(rowsOf(t)[9], Rows::value_type("a name far too long", 1));
    EXPECT_EQ(rowsOf(t)[8], Rows::value_type("h", 100));
}

TEST(HighscoreTable, FileRoundTripWithBlanksUnderscoresAndEmptyNames) {
    TempDir dir;
    const std::string path = dir.file("highscore.lst");
    HighscoreTable t, back;
    back.load(path.c_str());  // a missing file is created; no file at all leaves the table as it is
    EXPECT_TRUE(dir.exists("highscore.lst"));
    back.load(dir.file("none/highscore.lst").c_str());
    EXPECT_EQ(rowsOf(back), Rows(10, {"stone", 100}));
    unsigned score = 1000;
    for (const char* n : {"Santa Claus", "elf_42", "", "  ", "~", "~~", "a~", "nineteen characters"})
        t.insert(n, score--);
    ASSERT_TRUE(t.save(path.c_str()));
    const std::string first = dir.read("highscore.lst");
    EXPECT_EQ(first,
              "Santa_Claus\n1000\nelf_42\n999\n~\n998\n__\n997\n~~\n996\n~~~\n995\na~\n994\n"
              "nineteen_characters\n993\nstone\n100\nstone\n100\n");
    back.load(path.c_str());
    // A typed underscore comes back as a blank; everything else as it was.
    EXPECT_EQ(rowsOf(back), (Rows{{"Santa Claus", 1000},
                                  {"elf 42", 999},
                                  {"", 998},
                                  {"  ", 997},
                                  {"~", 996},
                                  {"~~", 995},
                                  {"a~", 994},
                                  {"nineteen characters", 993},
                                  {"stone", 100},
                                  {"stone", 100}}));
    ASSERT_TRUE(back.save(path.c_str()));
    EXPECT_EQ(dir.read("highscore.lst"), first);
    EXPECT_EQ(filesIn(dir), 1u);
    // Only the start of a huge file is read: the rest of the table stays.
    dir.write("huge.lst", "ann 900\n" + std::string(HighscoreTable::kMaxFileBytes, ' ') + "bob 800\n");
    back.load(dir.file("huge.lst").c_str());
    EXPECT_EQ(rowsOf(back)[0], Rows::value_type("ann", 900));
    EXPECT_EQ(rowsOf(back)[1], Rows::value_type("elf 42", 999));
}

TEST(HighscoreTable, ReadsShortDamagedAndHandEditedFiles) {
    const std::pair<std::string, Rows> cases[] = {
        {"ann\n900\nbob\n800\ncy\n700\n", {{"ann", 900}, {"bob", 800}, {"cy", 700}}},
        {"a 1\nb 2\nc 3\n", {{"a", 1}, {"b", 2}, {"c", 3}}},  // file order, not sorted
        {"ann\r\n900\r\n\r\n\tbob\r\n800\r\n", {{"ann", 900}, {"bob", 800}}},
        {"ann 900 bo", {{"ann", 900}, {"bo", 100}}},  // ends early: the rest keeps its value
        {"a 0x1F b 017 c 0 d 0XfF e +7", {{"a", 31}, {"b", 15}, {"c", 0}, {"d", 255}, {"e", 7}}},
        {"a 12ab 5 b 09 6", {{"a", 12}, {"ab", 5}, {"b", 0}, {"9", 6}}},  // a number ends where it can't go on
        {"a -5 b -99999999999 c 3", {{"a", 0}, {"b", 0}, {"c", 3}}},      // negative: the lowest score
        {"a 4294967295 b 1", {{"a", 4294967295u}, {"b", 1}}},
        // No number, or too large a one: 0 or the largest score, and nothing more is read.
        {"a 5 b x c 7", {{"a", 5}, {"b", 0}}},
        {"a - b 7", {{"a", 0}}},
        {"a 0x b 3", {{"a", 0}, {"x", 0}}},
        {"a 4294967296 b 7", {{"a", 4294967295u}}},
        {"a 99999999999999999999999999999999 b 7", {{"a", 4294967295u}}},
        {"x_y oops", {{"x y", 0}}},
        // Long tokens keep 19 characters and reading stays in step; tildes are counted first.
        {std::string(40, 'q') + " 5 bob 6", {{std::string(19, 'q'), 5}, {"bob", 6}}},
        {std::string(25, '~') + " 5", {{std::string(19, '~'), 5}}},
        {std::string("ab\0cd 5 \xff\x01 6", 12), {{"ab", 5}, {"\xff\x01", 6}}},  // a NUL ends a name
    };
    for (const auto& [text, rows] : cases) EXPECT_EQ(headOf(text), rows) << text;
}

TEST(HighscoreTable, AFailedSaveLeavesTheOldFileWhole) {
    TempDir dir;
    HighscoreTable t;
    t.insert("winner", 5000);
    EXPECT_FALSE(t.save(dir.file("missing/highscore.lst").c_str()));
    std::filesystem::create_directory(dir.file("taken"));
    EXPECT_FALSE(t.save(dir.file("taken").c_str()));

    // A disk that fills up while the new file is written (unlike permissions, this stops root too).
    dir.write("highscore.lst", "old\n1\n");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = t.save(dir.file("highscore.lst").c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(dir.read("highscore.lst"), "old\n1\n");
    EXPECT_EQ(filesIn(dir), 2u);  // no temporary file left behind
}
