// SPDX-License-Identifier: MIT
// The menu's cursor, its actions in both modes and the settings flags it flips.
#include <gtest/gtest.h>

#include "files/settings.h"
#include "ui/menu.h"
#include "ui/screen_state.h"

TEST(Menu, CursorWrapsInBothModesAndEveryItemActs) {
    Settings settings;
    Menu menu;
    menu.attach(nullptr, &settings);
    const ScreenState screens[5] = {Playing, Options, Highscores, Credits, Farewell};
    for (int item = 0; item < 5; ++item) {
        menu.backToMain();
        for (int i = 0; i < 5 - item; ++i) menu.cursorUp();  // wraps from the top to the bottom
        EXPECT_EQ(menu.select(), MenuChoice(screens[item])) << item;
        // Options switches mode; every other item stays highlighted for the return.
        EXPECT_EQ(menu.mode(), item == 1 ? Menu::Mode::options : Menu::Mode::main);
        EXPECT_EQ(menu.cursor(), item == 1 ? 0 : item);
    }
    menu.cursorDown();
    EXPECT_EQ(menu.cursor(), 0);  // and from the bottom to the top

    menu.cursorDown();
    ASSERT_EQ(menu.select(), MenuChoice(Options));
    menu.cursorUp();
    EXPECT_EQ(menu.cursor(), 4);  // the options mode wraps too
    menu.cursorDown();
    settings.reflection = 7;  // any non-zero value is on
    for (int item = 0; item < 4; ++item, menu.cursorDown()) {
        EXPECT_EQ(menu.select(), MenuChoice(Settings::Flag(item)));
        EXPECT_EQ(menu.cursor(), item);
        for (int f = 0; f < 4; ++f) EXPECT_EQ(settings.flag(Settings::Flag(f)) != 0, f != item) << item << " " << f;
        menu.select();
        EXPECT_EQ(settings.flag(Settings::Flag(item)), 1);
    }
    EXPECT_EQ(menu.select(), MenuChoice(MainMenu));  // "Back"
    EXPECT_TRUE(menu.mode() == Menu::Mode::main && menu.cursor() == 0);
    menu.cursorDown();
    menu.select();
    menu.cursorDown();
    menu.backToMain();  // Escape on the options screen
    EXPECT_TRUE(menu.mode() == Menu::Mode::main && menu.cursor() == 0);
}
