// SPDX-License-Identifier: MIT
// Menus, high-score table and name field in a real window: rows at their places, the highlighted
// ones red, the options' values where the labels end. With no glyph sheet there every glyph is a solid
// 16 x 16 quad of the current colour.
#include "files/settings.h"
#include "render/font.h"
#include "support/gl_test_window.h"
#include "ui/highscore_table.h"
#include "ui/menu.h"
#include "ui/name_entry.h"

namespace {

constexpr Pixel red{255, 0, 0}, white{255, 255, 255}, black{0, 0, 0};

class UiDraw : public GlTestWindow {
protected:
    void SetUp() override {
        GlTestWindow::SetUp();
        if (available_) font_.build();
    }
    Font font_;
};

// Colour inside a glyph whose lower-left corner is at text-screen point (x, y).
Pixel glyph(int x, int y) { return UiDraw::pixel(x + 5, y + 8); }

TEST_F(UiDraw, MenuRowsSitInPlaceTheHighlightedRedTheValuesWhereTheLabelsEnd) {
    Settings settings;
    settings.music = 0;
    Menu menu;
    menu.attach(&font_, &settings);
    menu.cursorDown();
    // "Options" red from x = 300 on; the other rows' colours the end-to-end tests read.
    expectBaseState("main menu", [&] { menu.draw(); });
    EXPECT_EQ((std::array{glyph(300, 230), glyph(290, 230)}), (std::array{red, black}));
    menu.select();  // "Options", then down to "Music"
    menu.cursorDown();
    beginFrame();
    expectBaseState("options menu", [&] { menu.draw(); });
    // Each label, then "On" (two glyphs, 26 units wide) or "Off" (three) starting 10 units after its end.
    for (int i = 0; i < 4; ++i) {
        const int x = std::array{480, 360, 410, 410}[i], y = 250 - 20 * i;
        const Pixel colour = i == 1 ? red : white;
        EXPECT_EQ(
            (std::array{glyph(300, y), pixel(x - 2, y + 8), glyph(x, y), pixel(x + 31, y + 8), pixel(x + 37, y + 8)}),
            (std::array{colour, black, colour, i == 1 ? red : black, black}))
            << i;
    }
    EXPECT_EQ(glyph(300, 170), white);  // "Back"
}

TEST_F(UiDraw, TableRowsSitInPlaceTheHighlightedRed) {
    HighscoreTable table;
    table.setFont(&font_);
    for (auto [name, score] : {std::pair{"me", 700u}, {"you", 500u}}) table.insert(name, score);
    expectBaseState("table", [&] { table.draw(100); });                                  // the eight rows of 100 red
    EXPECT_EQ((std::array{glyph(300, 350), glyph(550, 10)}), (std::array{red, white}));  // heading, "ESC Back"
    for (int i = 0; i < 10; ++i)  // place, name and score of each row
        for (int x : {225, 265, 465}) EXPECT_EQ(glyph(x, 300 - 20 * i), i > 1 ? red : white) << i << " " << x;
}

TEST_F(UiDraw, NameEntryShowsThePromptRedTheTextWhiteAndTheMarkAfterIt) {
    NameEntry entry;
    entry.setFont(&font_);
    entry.begin(20, "Enter your name:");
    for (char c : {'a', 'b'}) entry.appendChar(c);
    expectBaseState("name entry", [&] { entry.draw(); });
    // The mark covers 270..286.
    EXPECT_EQ((std::array{glyph(200, 300), pixel(195, 308), glyph(250, 280), pixel(284, 288), pixel(288, 288)}),
              (std::array{red, black, white, white, black}));
}

}  // namespace
