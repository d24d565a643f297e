// SPDX-License-Identifier: MIT
// The menu's cursor wrapping round in both modes, an option flag held at any value but 0, and
// "Back". Every other item, the flag each option flips, the cursor kept on an item and Escape back
// to the main items are played with real keys by the end-to-end tests.
#include <gtest/gtest.h>

#include "files/settings.h"
#include "ui/menu.h"
#include "ui/screen_state.h"

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
    menu.cursorDown();
    EXPECT_EQ(menu.select(), MenuChoice(MainMenu));  // "Back"
    EXPECT_TRUE(menu.mode() == Menu::Mode::main && menu.cursor() == 0);
}
