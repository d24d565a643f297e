// SPDX-License-Identifier: MIT
#pragma once

class Font;
struct Settings;

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

    // Acts on the highlighted item. Returns the ScreenState number to switch to, or -1 when the
    // screen stays (a flag was flipped on the options screen).
    int select();
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
