// The name field: its capacity, backspace, and a fresh start on every begin.
#include <gtest/gtest.h>

#include <string>

#include "ui/name_entry.h"

TEST(NameEntry, HoldsAtMostCapacityLessOneCharacters) {
    NameEntry entry;
    EXPECT_STREQ(entry.text(), "");
    entry.appendChar('a');  // before begin there is no buffer: nothing happens
    entry.backspace();
    EXPECT_EQ(entry.length(), 0);

    entry.begin(20, "Enter your name:");
    EXPECT_STREQ(entry.prompt(), "Enter your name:");
    const std::string typed = "Rudolph Red Nose 42";
    for (char c : typed) entry.appendChar(c);
    EXPECT_EQ(entry.length(), 19);
    entry.appendChar('!');
    EXPECT_STREQ(entry.text(), typed.c_str());
    EXPECT_EQ(entry.length(), 19);
    entry.backspace();
    entry.appendChar('3');
    EXPECT_STREQ(entry.text(), "Rudolph Red Nose 43");

    // A NUL would hide characters behind it: it is not taken.
    entry.backspace();
    entry.appendChar('\0');
    EXPECT_EQ(entry.length(), 18);

    NameEntry tiny;
    tiny.begin(0, nullptr);
    tiny.appendChar('x');
    EXPECT_STREQ(tiny.text(), "");
    EXPECT_STREQ(tiny.prompt(), "");
}

TEST(NameEntry, BackspaceAndASecondBegin) {
    NameEntry entry;
    entry.begin(20, "Enter your name:");
    entry.backspace();
    EXPECT_EQ(entry.length(), 0);
    EXPECT_STREQ(entry.text(), "");
    entry.appendChar('a');
    entry.appendChar('b');
    entry.backspace();
    EXPECT_STREQ(entry.text(), "a");
    EXPECT_EQ(entry.length(), 1);

    entry.begin(5, "Again:");
    EXPECT_STREQ(entry.text(), "");
    EXPECT_EQ(entry.length(), 0);
    EXPECT_EQ(entry.capacity(), 5);
    EXPECT_STREQ(entry.prompt(), "Again:");
    for (char c : std::string("abcdef")) entry.appendChar(c);
    EXPECT_STREQ(entry.text(), "abcd");
}
