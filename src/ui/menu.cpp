// SPDX-License-Identifier: MIT
#include "ui/menu.h"

#include <GL/gl.h>

#include <cstring>
#include <iterator>
#include <optional>

#include "render/font.h"
#include "render/text_layout.h"

namespace {

// What each item says and what choosing it does: the main items name the next screen; the
// options items flip a settings flag, except "Back", which has none and returns to the main items.
struct MainItem {
    const char* text;
    ScreenState next;
};
struct OptionItem {
    const char* text;
    std::optional<Settings::Flag> flag;
};
constexpr MainItem kMainItems[] = {
    {"Play!", Playing}, {"Options", Options}, {"Highscores", Highscores}, {"Credits", Credits}, {"Exit", Farewell},
};
constexpr OptionItem kOptionItems[] = {
    {"Ingame Snowflakes", Settings::Flag::snowflakes},
    {"Music", Settings::Flag::music},
    {"Reflection", Settings::Flag::reflection},
    {"Fullscreen", Settings::Flag::fullscreen},
    {"Back", std::nullopt},
};
static_assert(std::size(kMainItems) == Menu::kItems && std::size(kOptionItems) == Menu::kItems,
              "the cursor runs over the same five rows in both modes");

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

MenuChoice Menu::select() {
    if (mode_ == Mode::main) {
        const ScreenState next = kMainItems[cursor_].next;
        if (next == Options) {
            mode_ = Mode::options;
            cursor_ = 0;
        }
        return next;
    }
    const std::optional<Settings::Flag> flag = kOptionItems[cursor_].flag;
    if (!flag) {
        backToMain();
        return MainMenu;
    }
    if (settings_) {
        unsigned char& value = settings_->flag(*flag);
        value = value == 0 ? 1 : 0;
    }
    return *flag;
}

void Menu::backToMain() {
    mode_ = Mode::main;
    cursor_ = 0;
}

void Menu::draw() const {
    if (!font_) return;
    for (int i = 0; i < kItems; ++i) {
        const float x = textLayout::kMenuTop.x;
        const float y = textLayout::kMenuTop.y - textLayout::kMenuRowStep * static_cast<float>(i);
        rowColour(i == cursor_);
        if (mode_ == Mode::main) {
            font_->print(x, y, kMainItems[i].text, false);
            continue;
        }
        const OptionItem& item = kOptionItems[i];
        font_->print(x, y, item.text, false);
        if (!item.flag) continue;
        // The value starts one glyph after the label's last character.
        const float valueX = x + textLayout::kGlyphStep * static_cast<float>(std::strlen(item.text) + 1);
        const bool on = settings_ && settings_->flag(*item.flag) != 0;
        font_->print(valueX, y, on ? "On" : "Off", true);
    }
}
