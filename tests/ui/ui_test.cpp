// SPDX-License-Identifier: MIT
// The screens' parts without a window. The high-score table: places and insertion with ties, the
// "highscore.lst" format both ways, damaged and hand-edited files. The menu's cursor wrapping round
// in both modes, an option flag held at any value but 0, and "Back"; every other item, the flag
// each option flips, the cursor kept on an item and Escape back to the main items are played with
// real keys by the end-to-end tests, as is typing a name. The name field: nothing before the first
// begin, backspace on an empty text, a fresh start on every begin, the last character stepped.
#include <gtest/gtest.h>

#include <string>

#include "files/settings.h"
#include "support/temp_dir.h"
#include "ui/highscore_table.h"
#include "ui/menu.h"
#include "ui/name_entry.h"
#include "ui/screen_state.h"

namespace {

// The table as "name score" rows joined by "|", without the default rows at its end.
std::string rowsOf(const HighscoreTable& t) {
    std::string rows;
    for (const HighscoreEntry& e : t.entries()) rows += std::string(e.name) + " " + std::to_string(e.score) + "|";
    while (rows.ends_with("stone 100|")) rows.resize(rows.size() - 10);
    return rows;
}

}  // namespace

TEST(HighscoreTable, RankOfAndInsertKeepOlderEntriesAboveEqualScores) {
    HighscoreTable t;  // the default table's ranks show in the Application's screen changes
    t.readText("a 500 b 400 c 400 d 300 e 100 f 100 g 100 h 100 i 100 j 100");
    for (auto [points, rank] : {std::pair{400u, 4}, {401u, 2}, {100u, 0}, {101u, 5}})
        EXPECT_EQ(t.rankOf(points), rank) << points;
    t.insert("new", 400);
    // The tenth entry goes whatever its score; names are cut to the 19 characters that fit.
    t.insert("a name far too long for the table", 1);
    EXPECT_EQ(rowsOf(t), "a 500|b 400|c 400|new 400|d 300|e 100|f 100|g 100|h 100|a name far too long 1|");
}

TEST(HighscoreTable, FileRoundTripWithBlanksUnderscoresAndEmptyNames) {
    TempDir dir;
    const std::string path = dir.file("highscore.lst");
    HighscoreTable t, back;
    EXPECT_EQ(back.load(path.c_str()), FileRead::missing);  // and reading does not make it
    EXPECT_FALSE(dir.exists("highscore.lst"));
    unsigned score = 1000;
    for (const char* n : {"Santa Claus", "elf_42", "", "  ", "~", "~~", "a~", "nineteen characters"})
        t.insert(n, score--);
    ASSERT_TRUE(t.save(path.c_str()));
    EXPECT_EQ(dir.read("highscore.lst"),
              "Santa_Claus\n1000\nelf_42\n999\n~\n998\n__\n997\n~~\n996\n~~~\n995\na~\n994\n"
              "nineteen_characters\n993\nstone\n100\nstone\n100\n");
    back.load(path.c_str());
    back.load(dir.file("none/highscore.lst").c_str());  // no file at all leaves the table as it is
    // A typed underscore comes back as a blank; everything else as it was.
    EXPECT_EQ(rowsOf(back), "Santa Claus 1000|elf 42 999| 998|   997|~ 996|~~ 995|a~ 994|nineteen characters 993|");
    // Only the start of a huge file is read: the rest of the table stays.
    dir.write("huge.lst", "ann 900\n" + std::string(HighscoreTable::kMaxFileBytes, ' ') + "bob 800\n");
    back.load(dir.file("huge.lst").c_str());
    EXPECT_EQ(rowsOf(back).substr(0, 19), "ann 900|elf 42 999|");
}

TEST(HighscoreTable, ReadsShortDamagedAndHandEditedFiles) {
    const std::pair<std::string, std::string> cases[] = {
        {"a 1\nb 2\nc 3\n", "a 1|b 2|c 3|"},  // file order, not sorted
        {"ann\r\n900\r\n\r\n\tbob\r\n800\r\n", "ann 900|bob 800|"},
        {"ann 900 bo", "ann 900|bo 100|"},  // ends early: the rest keeps its value
        {"a 0x1F b 017 c 0 d 0XfF e +7", "a 31|b 15|c 0|d 255|e 7|"},
        {"a 12ab 5 b 09 6", "a 12|ab 5|b 0|9 6|"},    // a number ends where it cannot go on
        {"a -5 b -99999999999 c 3", "a 0|b 0|c 3|"},  // negative: the lowest score
        {"a 4294967295 b 1", "a 4294967295|b 1|"},
        // No number, or too large a one: 0 or the largest score, and nothing more is read.
        {"a 5 b x c 7", "a 5|b 0|"},
        {"a 0x b 3", "a 0|x 0|"},
        {"a 4294967296 b 7", "a 4294967295|"},
        {"a 99999999999999999999999999999999 b 7", "a 4294967295|"},
        {"x_y oops", "x y 0|"},
        // Long tokens keep 19 characters and reading stays in step; tildes are counted first.
        {std::string(40, 'q') + " 5 bob 6", std::string(19, 'q') + " 5|bob 6|"},
        {std::string(25, '~') + " 5", std::string(19, '~') + " 5|"},
        {std::string("ab\0cd 5 \xff\x01 6", 12), "ab 5|\xff\x01 6|"},  // a NUL ends a name
    };
    for (const auto& [text, rows] : cases) {
        HighscoreTable t;
        t.readText(text);
        EXPECT_EQ(rowsOf(t), rows) << text;
    }
}

TEST(Menu, CursorWrapsInBothModesAndBackReturnsToTheTopOfTheMainItems) {
    Settings settings;
    Menu menu;
    menu.attach(nullptr, &settings);
    menu.cursorUp();  // from the top to the bottom
    EXPECT_EQ(menu.select(), MenuChoice(Farewell));
    menu.cursorDown();  // and from the bottom to the top
    EXPECT_EQ(menu.cursor(), 0);
    menu.cursorDown();
    ASSERT_EQ(menu.select(), MenuChoice(Options));
    menu.cursorUp();
    EXPECT_EQ(menu.cursor(), 4);  // the options wrap too, onto "Back"
    menu.cursorUp();
    menu.cursorUp();
    settings.reflection = 7;  // on, as any value but 0 is
    EXPECT_EQ(menu.select(), MenuChoice(Settings::Flag::reflection));
    EXPECT_EQ(settings.reflection, 0);
    menu.cursorDown();
    menu.cursorDown();  // "Back": the main items again, from the top
    EXPECT_EQ(menu.select(), MenuChoice(MainMenu));
    EXPECT_EQ(std::pair(menu.mode(), menu.cursor()), std::pair(Menu::Mode::main, 0));
}

TEST(NameEntry, NothingBeforeBeginAndAFreshTextOfItsCapacityOnEveryBegin) {
    NameEntry entry;
    entry.appendChar('a');  // before begin there is no buffer: nothing happens
    entry.backspace();
    EXPECT_STREQ(entry.text(), "");
    entry.begin(20, "Enter your name:");
    entry.appendChar('x');
    entry.begin(5, "Again:");  // empty again, with the new prompt and capacity
    entry.backspace();         // nothing to remove
    for (char c : "abcdef") entry.appendChar(c);
    EXPECT_STREQ(entry.text(), "abcd");
    EXPECT_STREQ(entry.prompt(), "Again:");
}

TEST(NameEntry, ThePadStepsTheLastCharacterThroughLettersDigitsAndTheSpace) {
    NameEntry entry;
    entry.begin(4, "");
    // A first character at 'A', back round to the space, on to 'A' again, then to the digits.
    for (int steps : {-1, -1, 1, 52}) entry.stepLastChar(steps);
    entry.appendChar('!');
    entry.stepLastChar(-1);  // not a name's character: 'A'
    EXPECT_STREQ(entry.text(), "0A");
}
