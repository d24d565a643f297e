// The menu's cursor, its actions in both modes and the settings flags it flips.
#include <gtest/gtest.h>

#include "app/screen_state.h"
#include "app/settings.h"
#include "ui/menu.h"

TEST(Menu, CursorWrapsAtBothEndsInBothModes) {
    Settings settings;
    Menu menu;
    menu.attach(nullptr, &settings);
    for (int mode = 0; mode < 2; ++mode) {
        ASSERT_EQ(menu.mode(), mode);
        ASSERT_EQ(menu.cursor(), 0);
        menu.cursorUp();
        EXPECT_EQ(menu.cursor(), 4);
        menu.cursorDown();
        EXPECT_EQ(menu.cursor(), 0);
        for (int i = 0; i < 4; ++i) menu.cursorDown();
        EXPECT_EQ(menu.cursor(), 4);
        menu.cursorDown();
        EXPECT_EQ(menu.cursor(), 0);
        menu.cursorDown();
        EXPECT_EQ(menu.select(), mode == 0 ? Options : -1);
    }
}

TEST(Menu, MainItemsNameTheirScreensAndKeepTheCursor) {
    Settings settings;
    Menu menu;
    menu.attach(nullptr, &settings);
    const int expected[5] = {Playing, Options, Highscores, Credits, Farewell};
    for (int item = 0; item < 5; ++item) {
        menu.backToMain();
        for (int i = 0; i < item; ++i) menu.cursorDown();
        EXPECT_EQ(menu.select(), expected[item]) << "item " << item;
        if (item == 1) {
            EXPECT_EQ(menu.mode(), 1);
            EXPECT_EQ(menu.cursor(), 0);
        } else {
            // The item chosen stays highlighted for the return to the main menu.
            EXPECT_EQ(menu.mode(), 0);
            EXPECT_EQ(menu.cursor(), item);
        }
    }
    EXPECT_EQ(settings.snowflakes + settings.music + settings.reflection + settings.fullscreen, 4);
}

TEST(Menu, OptionItemsFlipTheirFlagAndBackReturns) {
    Settings settings;
    Menu menu;
    menu.attach(nullptr, &settings);
    menu.cursorDown();
    ASSERT_EQ(menu.select(), Options);
    unsigned char* const flags[4] = {&settings.snowflakes, &settings.music, &settings.reflection,
                                     &settings.fullscreen};
    for (int item = 0; item < 4; ++item) {
        EXPECT_EQ(menu.select(), -1);
        EXPECT_EQ(menu.cursor(), item);
        EXPECT_EQ(menu.mode(), 1);
        for (int f = 0; f < 4; ++f) EXPECT_EQ(*flags[f], f == item ? 0 : 1) << "item " << item << " flag " << f;
        EXPECT_EQ(menu.select(), -1);
        EXPECT_EQ(*flags[item], 1);
        menu.cursorDown();
    }
    // A flag of any other non-zero value counts as on and turns off.
    settings.music = 7;
    menu.backToMain();
    menu.cursorDown();
    menu.select();
    menu.cursorDown();
    EXPECT_EQ(menu.select(), -1);
    EXPECT_EQ(settings.music, 0);

    menu.cursorUp();
    menu.cursorUp();
    ASSERT_EQ(menu.cursor(), 4);
    EXPECT_EQ(menu.select(), MainMenu);
    EXPECT_EQ(menu.mode(), 0);
    EXPECT_EQ(menu.cursor(), 0);

    // Escape on the options screen does the same.
    menu.cursorDown();
    menu.select();
    menu.cursorDown();
    menu.cursorDown();
    menu.backToMain();
    EXPECT_EQ(menu.mode(), 0);
    EXPECT_EQ(menu.cursor(), 0);

    // Without settings an option item does nothing at all.
    Menu bare;
    bare.cursorDown();
    bare.select();
    EXPECT_EQ(bare.select(), -1);
}
