// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

// Where the game's texts stand on the 640 x 480 text screen of Font::print: units from the bottom
// left corner, a glyph 16 units high with a pen advance of 10. Shared by the screens that print
// and by the tests that look for the texts on the screen.
struct TextPos {
    float x;
    float y;
};

namespace textLayout {

inline constexpr float kScreenWidth = 640;
inline constexpr float kScreenHeight = 480;
inline constexpr float kGlyphStep = 10;    // pen advance per character
inline constexpr float kGlyphHeight = 16;  // a glyph's quad is this high (and as wide)

// Left edge of a text of `glyphs` characters centred on x = `centre`.
constexpr float centred(float centre, std::size_t glyphs) {
    return centre - kGlyphStep * static_cast<float>(glyphs) / 2;
}

// The score panel beside the well, in red; while paused "Paused" stands alone in it.
inline constexpr TextPos kScore{430, 450};
inline constexpr TextPos kLevel{430, 430};
inline constexpr TextPos kRemovedLines{430, 410};
inline constexpr TextPos kNextBrick{430, 390};
inline constexpr TextPos kPaused{430, 410};

// The key legend below the panel, in white: each key's name in the second glyph set, then what
// it does.
inline constexpr float kLegendKeyX = 495;
inline constexpr float kLegendMeaningX = 550;
inline constexpr float kLegendPauseY = 40;
inline constexpr float kLegendQuitY = 25;
inline constexpr float kLegendNewGameY = 10;

// "ESC Back" in the lower right corner of the credits and the high-score table.
inline constexpr TextPos kBackKey{550, 10};
inline constexpr TextPos kBackWord{590, 10};

// Menu items, top item first, each row one step lower.
inline constexpr TextPos kMenuTop{300, 250};
inline constexpr float kMenuRowStep = 20;

// The high-score table: its title, then ten rows of place, name and score, first place on top.
inline constexpr TextPos kTableTitle{300, 350};
inline constexpr float kTableTopY = 300;
inline constexpr float kTableRowStep = 20;
inline constexpr float kTablePlaceX = 225;
inline constexpr float kTableNameX = 265;
inline constexpr float kTableScoreX = 465;

// The message of a game without a place, centred on x = 320.
inline constexpr TextPos kSorryCentre{320, 250};
// The name entry: its prompt centred on x = 280, the name one row lower and indented.
inline constexpr TextPos kPromptCentre{280, 300};
inline constexpr float kNameIndent = 50;
inline constexpr float kNameY = 280;
// The line that tells a new high score its place, in the lower left corner.
inline constexpr TextPos kPlaceLine{0, 0};

// The credits: headings and the title at the left column, names indented.
inline constexpr float kCreditsHeadX = 100;
inline constexpr float kCreditsNameX = 150;

}  // namespace textLayout
