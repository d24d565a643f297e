// SPDX-License-Identifier: MIT
#include "render/credits_scroller.h"

#include <GL/gl.h>

#include <cmath>

#include "render/font.h"
#include "render/text_layout.h"

namespace {
using textLayout::kCreditsHeadX, textLayout::kCreditsNameX;

constexpr float kStartY = -16;  // the title's glyphs span -16..0: just below the bottom edge
constexpr float kWrapY = 800;   // the last line (offset 272) is then above the top edge
// 60 units a second: a line stays about 8 s on the screen, long enough to be read; the loop takes
// about 13.6 s.
constexpr float kUnitsPerMs = 0.06f;

struct CreditLine {
    float offset;  // below the title, text-screen units
    float x;
    bool style;  // glyph set of Font::print
    const char* text;
};

// Every line after the title, drawn in white in this order.
constexpr CreditLine kLines[] = {
    {16, kCreditsHeadX, false, "(c) 2026 The Yuletumble team"},
    {48, kCreditsHeadX, false, "Lead programmer"},
    {64, kCreditsNameX, true, "The Yuletumble team"},
    {80, kCreditsHeadX, false, "Graphics"},
    {96, kCreditsNameX, true, "The Yuletumble team"},
    {112, kCreditsHeadX, false, "Sound"},
    {128, kCreditsNameX, true, "Jingle Bells by ???"},
    {144, kCreditsNameX, true, "Rudolph by ???"},
    {176, kCreditsHeadX, false, "Special thanks to"},
    {192, kCreditsNameX, true, "Everyone who tested the game"},
    {208, kCreditsNameX, true, "The makers of SDL, Mesa and the free fonts"},
    {224, kCreditsNameX, true, " ... many other but I am too lazy :-)"},
    {256, kCreditsHeadX, false, "Thank you for playing!"},
    {272, kCreditsNameX, true, "Have fun!"},
};
}  // namespace

void CreditsScroller::restart() { scrollY_ = kStartY; }

void CreditsScroller::update(float dt) {
    advance(dt);
    draw();
}

void CreditsScroller::advance(float dt) {
    scrollY_ += dt * kUnitsPerMs;
    if (scrollY_ >= kWrapY) scrollY_ = 0;
}

float CreditsScroller::lineY() const { return std::floor(scrollY_); }

void CreditsScroller::draw() const {
    if (!font_) return;
    const float y = lineY();
    font_->print(textLayout::kBackKey, "ESC", true);
    font_->print(textLayout::kBackWord, "Back", false);
    glColor3f(1, 0, 0);
    font_->print(kCreditsHeadX, y, "Yuletumble", false);
    glColor3f(1, 1, 1);
    for (const CreditLine& line : kLines) font_->print(line.x, y - line.offset, line.text, line.style);
}
