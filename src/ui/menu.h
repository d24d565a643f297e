// SPDX-License-Identifier: MIT
#pragma once

#include <variant>

#include "files/settings.h"
#include "ui/screen_state.h"

class Font;

// What choosing a menu item did: named the screen to go to (a main item, or "Back" on the options
// items), or switched the settings flag of an options item, leaving the screen as it is.
using MenuChoice = std::variant<ScreenState, Settings::Flag>;

// The main menu and the options menu in one object: a mode and a cursor on one of five items.
// In the main mode `select` names the next screen; in the options mode it flips a settings flag.
class Menu {
public:
    static constexpr int kItems = 5;  // items per mode; the cursor runs 0..4, 0 at the top
    enum class Mode { main, options };

    Menu() = default;

    // Both links are non-owning; set once at start-up after the font is built.
    void attach(const Font* font, Settings* settings);

    // Move the highlight one item, wrapping around at either end.
    void cursorUp();
    void cursorDown();

    // Acts on the highlighted item and says what it did. The follow-ups (the screen change, the
    // music or the full-screen toggle after a flag) are the caller's.
    MenuChoice select();
    // Main mode with the top item highlighted.
    void backToMain();

    // Draws the items of the current mode, the highlighted one red. Leaves the colour of the last
    // row current; changes no other OpenGL state.
    void draw() const;

    Mode mode() const { return mode_; }
    int cursor() const { return cursor_; }

private:
    const Font* font_ = nullptr;    // not owned; null until attach
    Settings* settings_ = nullptr;  // not owned; null until attach
    Mode mode_ = Mode::main;        // which items show; default main
    int cursor_ = 0;                // highlighted item 0..4; default 0
};
