// SPDX-License-Identifier: MIT
#include "ui/menu.h"

#include <GL/gl.h>

#include <cstring>

#include "app/screen_state.h"
#include "app/settings.h"
#include "render/font.h"

namespace {

constexpr const char* kMainItems[Menu::kItems] = {"Play!", "Options", "Highscores", "Credits", "Exit"};
// Options item i stands for settings flag i; the fifth item, "Back", is handled on its own.
constexpr const char* kOptionLabels[4] = {"Ingame Snowflakes", "Music", "Reflection", "Fullscreen"};
constexpr int kMainScreens[Menu::kItems] = {Playing, Options, Highscores, Credits, Farewell};

constexpr float kItemX = 300;     // left edge of every item
constexpr float kTopY = 250;      // baseline of the top item
constexpr float kRowStep = 20;    // text units between rows
constexpr float kGlyphStep = 10;  // pen advance per character

void rowColour(bool highlighted) {
    if (highlighted)
        glColor3f(1, 0, 0);
    else
        glColor3f(1, 1, 1);
}

}  // namespace

void Menu::attach(const Font* font, Settings* settings) {
    font_ = font;
    settings_ = settings;
}

void Menu::cursorUp() {
    if (--cursor_ < 0) cursor_ = kItems - 1;
}

void Menu::cursorDown() {
    if (++cursor_ > kItems - 1) cursor_ = 0;
}

int Menu::select() {
    if (mode_ == 0) {
        const int next = kMainScreens[cursor_];
        if (next == Options) {
            mode_ = 1;
            cursor_ = 0;
        }
        return next;
    }
    if (cursor_ == kItems - 1) {
        backToMain();
        return MainMenu;
    }
    if (settings_) {
        unsigned char& flag = settings_->flag(cursor_);
        flag = flag == 0 ? 1 : 0;
    }
    return -1;
}

void Menu::backToMain() {
    mode_ = 0;
    cursor_ = 0;
}

void Menu::draw() const {
    if (!font_) return;
    for (int i = 0; i < kItems; ++i) {
        const float y = kTopY - kRowStep * static_cast<float>(i);
        rowColour(i == cursor_);
        if (mode_ == 0) {
            font_->print(kItemX, y, kMainItems[i], false);
        } else if (i < kItems - 1) {
            const char* label = kOptionLabels[i];
            font_->print(kItemX, y, label, false);
            // The value starts one glyph after the label's last character.
            const float valueX = kItemX + kGlyphStep * static_cast<float>(std::strlen(label) + 1);
            const bool on = settings_ && settings_->flag(i) != 0;
            font_->print(valueX, y, on ? "On" : "Off", true);
        } else {
            font_->print(kItemX, y, "Back", false);
        }
    }
}
