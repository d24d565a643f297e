// SPDX-License-Identifier: MIT
// The name field: its capacity, backspace, and a fresh start on every begin.
#include <gtest/gtest.h>

#include "ui/name_entry.h"

TEST(NameEntry, CapacityBackspaceAndASecondBegin) {
    NameEntry entry;
    entry.appendChar('a');  // before begin there is no buffer: nothing happens
    EXPECT_STREQ(entry.text(), "");
    entry.begin(20, "Enter your name:");
    entry.backspace();
    EXPECT_EQ(entry.length(), 0);
    for (char c : "Rudolph Red Nose 42!") entry.appendChar(c);  // the 20th and the NUL are dropped
    EXPECT_STREQ(entry.text(), "Rudolph Red Nose 42");
    EXPECT_EQ(entry.length(), 19);
    entry.backspace();
    EXPECT_STREQ(entry.text(), "Rudolph Red Nose 4");
    entry.begin(5, "Again:");
    EXPECT_STREQ(entry.text(), "");
    EXPECT_STREQ(entry.prompt(), "Again:");
    EXPECT_EQ(entry.length(), 0);
    for (char c : "abcdef") entry.appendChar(c);
    EXPECT_STREQ(entry.text(), "abcd");
}
