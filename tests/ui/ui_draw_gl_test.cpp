// Menus, high-score table and name field drawn in a real window: rows at their places, the
// highlighted ones red, the options column where the labels end. The font is built without
// "data/font.bmp", so every glyph is a solid 16 x 16 quad of the current colour.
#include <GL/gl.h>
#include <unistd.h>

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

constexpr std::array<int, 3> kRed{255, 0, 0};
constexpr std::array<int, 3> kWhite{255, 255, 255};
constexpr std::array<int, 3> kBlack{0, 0, 0};

class UiDraw : public GlTestWindow {
protected:
    static void SetUpTestSuite() {
        GlTestWindow::SetUpTestSuite();
        if (!available_) return;
        // Build in an empty directory: no glyph sheet, solid quads.
        TempDir empty;
        const auto here = std::filesystem::current_path();
        std::filesystem::current_path(empty.path());
        font_ = std::make_unique<Font>();
        font_->build();
        std::filesystem::current_path(here);
    }
    static void TearDownTestSuite() { font_.reset(); }

    // Colour inside the first glyph of a text that starts at (x, y).
    static std::array<int, 3> glyphAt(int x, int y) { return pixel(x + 5, y + 8); }

    static std::unique_ptr<Font> font_;
};

std::unique_ptr<Font> UiDraw::font_;

}  // namespace

TEST_F(UiDraw, MainMenuHighlightsTheCursorRow) {
    Settings settings;
    Menu menu;
    menu.attach(font_.get(), &settings);
    menu.cursorDown();
    menu.cursorDown();
    menu.draw();
    expectBaseState("Menu::draw");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(glyphAt(300, 250 - 20 * i), i == 2 ? kRed : kWhite) << "row " << i;
    EXPECT_EQ(glyphAt(290, 210), kBlack);  // nothing left of the items
    EXPECT_EQ(pixel(305, 267), kBlack);    // nothing above the top item
}

TEST_F(UiDraw, OptionsShowOnOrOffWhereEachLabelEnds) {
    Settings settings;
    settings.music = 0;
    settings.fullscreen = 0;
    Menu menu;
    menu.attach(font_.get(), &settings);
    menu.cursorDown();
    menu.select();
    menu.cursorDown();
    menu.draw();
    expectBaseState("Menu::draw options");
    const int valueX[4] = {480, 360, 410, 410};
    for (int i = 0; i < 4; ++i) {
        const int y = 250 - 20 * i + 8;
        const auto colour = i == 1 ? kRed : kWhite;
        EXPECT_EQ(glyphAt(300, 250 - 20 * i), colour) << "label " << i;
        // The label's last glyph ends 4 units before the value starts.
        EXPECT_EQ(pixel(valueX[i] - 2, y), kBlack) << "row " << i;
        EXPECT_EQ(pixel(valueX[i] + 1, y), colour) << "row " << i;
        // "On" is two glyphs wide (26 units), "Off" three (36).
        const bool on = settings.flag(i) != 0;
        EXPECT_EQ(pixel(valueX[i] + 31, y), on ? kBlack : colour) << "row " << i;
        EXPECT_EQ(pixel(valueX[i] + 37, y), kBlack) << "row " << i;
    }
    EXPECT_EQ(glyphAt(300, 170), kWhite);     // "Back"
    EXPECT_EQ(pixel(348, 178), kBlack);       // four glyphs end at 346
}

TEST_F(UiDraw, HighscoreRowsWithTheHighlightedScoreAreRed) {
    HighscoreTable table;
    table.setFont(font_.get());
    table.draw(100);
    expectBaseState("HighscoreTable::draw");
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f);
    EXPECT_EQ(glyphAt(300, 350), kRed);  // the heading
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(glyphAt(225, 300 - 20 * i), kRed) << "place " << i;
        EXPECT_EQ(glyphAt(265, 300 - 20 * i), kRed) << "name " << i;
        EXPECT_EQ(glyphAt(465, 300 - 20 * i), kRed) << "score " << i;
    }
    EXPECT_EQ(glyphAt(550, 10), kWhite);  // "ESC"
    EXPECT_EQ(glyphAt(590, 10), kWhite);  // "Back"

    beginFrame();
    table.insert("me", 700);
    table.insert("you", 500);
    table.draw(500);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(glyphAt(265, 300 - 20 * i), i == 1 ? kRed : kWhite) << "row " << i;
    // An empty name draws nothing in its row but the place and the score.
    beginFrame();
    table.insert("", 600);
    table.draw(0);
    EXPECT_EQ(glyphAt(265, 280), kBlack);
    EXPECT_EQ(glyphAt(465, 280), kWhite);
}

TEST_F(UiDraw, NameEntryPromptTextAndMark) {
    NameEntry entry;
    entry.setFont(font_.get());
    entry.begin(20, "Enter your name:");
    entry.draw();
    expectBaseState("NameEntry::draw");
    EXPECT_EQ(glyphAt(200, 300), kRed);
    EXPECT_EQ(pixel(195, 308), kBlack);
    EXPECT_EQ(glyphAt(250, 280), kWhite);  // the mark stands where the text would start
    EXPECT_EQ(pixel(268, 288), kBlack);

    beginFrame();
    entry.appendChar('a');
    entry.appendChar('b');
    entry.appendChar('c');
    entry.draw();
    EXPECT_EQ(pixel(294, 288), kWhite);  // mark at 280..296
    EXPECT_EQ(pixel(298, 288), kBlack);
}
