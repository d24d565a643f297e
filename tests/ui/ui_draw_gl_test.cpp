// SPDX-License-Identifier: MIT
// Menus, high-score table and name field drawn in a real window: rows at their places, the
// highlighted ones red, the options column where the labels end. The font is built without
// "data/font.bmp", so every glyph is a solid 16 x 16 quad of the current colour.
#include <array>
#include <filesystem>
#include <memory>

#include "app/settings.h"
#include "render/font.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"
#include "ui/highscore_table.h"
#include "ui/menu.h"
#include "ui/name_entry.h"

namespace {

using Rgb = std::array<int, 3>;
constexpr Rgb kRed{255, 0, 0}, kWhite{255, 255, 255}, kBlack{0, 0, 0};

class UiDraw : public GlTestWindow {
protected:
    static void SetUpTestSuite() {
        GlTestWindow::SetUpTestSuite();
        if (!available_) return;
        TempDir empty;  // no glyph sheet here
        const auto here = std::filesystem::current_path();
        std::filesystem::current_path(empty.path());
        font_ = std::make_unique<Font>();
        font_->build();
        std::filesystem::current_path(here);
    }
    static void TearDownTestSuite() { font_.reset(); }
    // Colour inside a glyph whose lower-left corner is (x, y).
    static Rgb at(int x, int y) { return pixel(x + 5, y + 8); }
    static std::unique_ptr<Font> font_;
};
std::unique_ptr<Font> UiDraw::font_;

}  // namespace

TEST_F(UiDraw, MenusHighlightTheCursorRowAndShowOnOffAfterEachLabel) {
    Settings settings;
    settings.music = 0;
    Menu menu;
    menu.attach(font_.get(), &settings);
    menu.cursorDown();
    menu.cursorDown();
    menu.draw();
    expectBaseState("main menu");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(at(300, 250 - 20 * i), i == 2 ? kRed : kWhite) << i;
    EXPECT_EQ(at(290, 210), kBlack);

    menu.backToMain();
    menu.cursorDown();
    menu.select();
    menu.cursorDown();
    beginFrame();
    menu.draw();
    expectBaseState("options menu");
    const int valueX[4] = {480, 360, 410, 410};
    for (int i = 0; i < 4; ++i) {
        const int y = 250 - 20 * i;
        const Rgb colour = i == 1 ? kRed : kWhite;
        EXPECT_EQ(at(300, y), colour) << i;
        EXPECT_EQ(pixel(valueX[i] - 2, y + 8), kBlack) << i;  // the label ends 4 units before
        EXPECT_EQ(at(valueX[i], y), colour) << i;
        // "On" is two glyphs (26 units) wide, "Off" three (36).
        EXPECT_EQ(pixel(valueX[i] + 31, y + 8), i == 1 ? kRed : kBlack) << i;
        EXPECT_EQ(pixel(valueX[i] + 37, y + 8), kBlack) << i;
    }
    EXPECT_EQ(at(300, 170), kWhite);  // "Back"
}

TEST_F(UiDraw, TableRowsWithTheHighlightedScoreAreRedAndTheNameMarkFollowsTheText) {
    HighscoreTable table;
    table.setFont(font_.get());
    table.insert("me", 700);
    table.insert("you", 500);
    table.draw(500);
    expectBaseState("table");
    EXPECT_EQ(at(300, 350), kRed);  // heading
    for (int i = 0; i < 10; ++i)    // place, name and score of each row
        for (int x : {225, 265, 465}) EXPECT_EQ(at(x, 300 - 20 * i), i == 1 ? kRed : kWhite) << i << " " << x;
    EXPECT_EQ(at(550, 10), kWhite);  // "ESC Back"

    NameEntry entry;
    entry.setFont(font_.get());
    entry.begin(20, "Enter your name:");
    entry.appendChar('a');
    entry.appendChar('b');
    beginFrame();
    entry.draw();
    expectBaseState("name entry");
    EXPECT_EQ(at(200, 300), kRed);
    EXPECT_EQ(pixel(195, 308), kBlack);
    EXPECT_EQ(at(250, 280), kWhite);
    EXPECT_EQ(pixel(284, 288), kWhite);  // the mark covers 270..286
    EXPECT_EQ(pixel(288, 288), kBlack);
}
