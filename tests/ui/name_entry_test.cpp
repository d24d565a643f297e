// SPDX-License-Identifier: MIT
// The name field: nothing before the first begin, its capacity, backspace on an empty text, and a
// fresh start on every begin. Typing through the keys is played by the end-to-end tests.
#include <gtest/gtest.h>

#include <string>

#include "ui/name_entry.h"

TEST(NameEntry, CapacityBackspaceAndASecondBegin) {
    NameEntry entry;
    entry.appendChar('a');  // before begin there is no buffer: nothing happens
    entry.backspace();
    EXPECT_STREQ(entry.text(), "");
    entry.begin(20, "Enter your name:");
    entry.backspace();
    for (char c : "Rudolph Red Nose 42!") entry.appendChar(c);  // the 20th and the NUL are dropped
    EXPECT_STREQ(entry.text(), "Rudolph Red Nose 42");
    entry.begin(5, "Again:");
    EXPECT_TRUE(entry.length() == 0 && std::string(entry.prompt()) == "Again:");
    for (char c : "abcdef") entry.appendChar(c);
    EXPECT_STREQ(entry.text(), "abcd");
}

TEST(NameEntry, StepsTheLastCharacterRoundLettersDigitsAndSpace) {
    NameEntry entry;
    entry.begin(4, "");
    // A first character at 'A', back round to the space, on to 'A' again, then to the digits.
    for (int steps : {-1, -1, 1, 52}) entry.stepLastChar(steps);
    entry.appendChar('!');
    entry.stepLastChar(-1);  // not a name's character: 'A'
    EXPECT_STREQ(entry.text(), "0A");
}
