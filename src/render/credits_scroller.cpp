// SPDX-License-Identifier: MIT
#include "render/credits_scroller.h"

#include <GL/gl.h>

#include <cmath>

#include "render/font.h"

namespace {
constexpr float kStartY = -16;  // the title's glyphs span -16..0: just below the bottom edge
constexpr float kWrapY = 800;   // the last line (offset 272) is then above the top edge
constexpr float kUnitsPerMs = 0.5f;

struct CreditLine {
    float offset;  // below the title, text-screen units
    float x;
    bool style;  // glyph set of Font::print
    const char* text;
};

// Every line after the title, drawn in white in this order.
constexpr CreditLine kLines[] = {
    {16, 100, false, "(c) 2026 The Yuletumble team"},
    {48, 100, false, "Lead programmer"},
    {64, 150, true, "The Yuletumble team"},
    {80, 100, false, "Graphics"},
    {96, 150, true, "The Yuletumble team"},
    {112, 100, false, "Sound"},
    {128, 150, true, "Jingle Bells by ???"},
    {144, 150, true, "Rudolph by ???"},
    {176, 100, false, "Special thanks to"},
    {192, 150, true, "Everyone who tested the game"},
    {208, 150, true, "The makers of SDL, Mesa and the free fonts"},
    {224, 150, true, " ... many other but I am too lazy :-)"},
    {256, 100, false, "Thank you for playing!"},
    {272, 150, true, "Have fun!"},
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
    font_->print(550, 10, "ESC", true);
    font_->print(590, 10, "Back", false);
    glColor3f(1, 0, 0);
    font_->print(100, y, "Yuletumble", false);
    glColor3f(1, 1, 1);
    for (const CreditLine& line : kLines) font_->print(line.x, y - line.offset, line.text, line.style);
}
