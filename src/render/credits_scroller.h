// SPDX-License-Identifier: MIT
#pragma once

class Font;

// The Credits screen: a block of text lines scrolling up the 640 x 480 text screen at 0.06 units
// per ms (a pace to read at), starting again from the bottom edge once the title reaches y = 800, with a fixed
// "ESC Back" hint in the lower right corner.
class CreditsScroller {
public:
    CreditsScroller() = default;

    // The font to draw with (not owned); without one, draw draws nothing.
    void setFont(const Font* font) { font_ = font; }

    // Puts the title just below the bottom edge again (scrollY = -16).
    void restart();
    // Scrolls by `dt` milliseconds, wrapping to 0 at 800, then draws.
    void update(float dt);
    // The arithmetic half of update: scrolls without drawing.
    void advance(float dt);
    // Draws the hint in the current colour, the title in red and the other lines in white, with
    // the title at lineY(). Leaves the colour white and the base state as it was.
    // Draws nothing without a font.
    void draw() const;

    float scrollY() const { return scrollY_; }
    // Text-screen y of the title: scrollY rounded down (so -0.5 gives -1, not 0).
    float lineY() const;

private:
    const Font* font_ = nullptr;  // the Application's font, not owned; null until set
    float scrollY_ = -16;         // text-screen y of the title line; -16 at start and on restart
};
