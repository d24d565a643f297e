// SPDX-License-Identifier: MIT
// "game.cfg": the values in C notation, what a missing or broken value does, and a missing file
// created empty. What a save writes, the end-to-end tests read back; that it reads back as it was,
// the fuzzer checks.
#include <gtest/gtest.h>

#include <string>

#include "files/settings.h"
#include "support/temp_dir.h"

TEST(SettingsFile, ReadsValuesInFileOrderAsZeroOrNonZeroAndCreatesAMissingFileEmpty) {
    struct Case {
        std::string text;
        std::string before, after;  // "fullscreen music reflection snowflakes"
    };
    const Case cases[] = {
        {"0 1 0 1", "1111", "0101"},
        {"5 -3 0x10 00", "0000", "1110"},  // signs, hexadecimal and octal
        {"+0 0X0 007 0xff", "1111", "0011"},
        {"\n\n 0\t\t1\r\n0   \n\n1\n", "1111", "0101"},                // any white space between values
        {"999999999999999 0 4294967296 -2147483649", "0000", "1011"},  // too large is still not zero
        {"09 0 1", "1111", "0101"},                                    // octal 0, then a decimal 9
        {"1 0x 1 1", "0000", "1000"},                                  // 0, then "x": not a number
        {"0000000000000001 0 0", "1111", "0100"},                      // 15 characters make a value
        {"1 x 1 1", "0100", "1000"},                                   // not a number: off, and the rest missing
        {"1 1 1 0 5", "0000", "1110"},  // a save in place cut short: the new values, a blank, the old tail
        {"- 1 1 1", "1111", "0111"},
        {"0 0", "1111", "0011"},  // missing values keep their flags
        {"", "0101", "0101"},     // no file at all: it is created, empty
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
        EXPECT_TRUE(dir.exists("game.cfg") && dir.read("game.cfg") == c.text) << "reading changed the file";
    }
}
