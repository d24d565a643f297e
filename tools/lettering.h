// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "image.h"
#include "text_renderer.h"

// How a piece of title lettering is dressed.
struct LetterStyle {
    Rgb fillTop{1, 1, 1};     // fill colour at the top of the letters...
    Rgb fillBottom{1, 1, 1};  // ...blending to this at the baseline
    float sheen = 0;          // 0-1: a light band across the upper half
    Rgb outline{};            // first border round the letters
    float outlineWidth = 0;   // pixels; 0 = none
    Rgb rim{};                // second, outer border
    float rimWidth = 0;       // pixels beyond the outline; 0 = none
    float shadowOffset = 0;   // drop shadow, pixels down and right; 0 = none
    float shadowOpacity = 0.6f;
    Rgb glow{};            // light added round the letters (for pictures shown additively)
    float glowRadius = 0;  // pixels; 0 = none
    float glowStrength = 0;
    float snowDepth = 0;  // snow lying on the letters, pixels deep; 0 = none
};

// Draws `text` in `face` at `pixelSize` with its ink centred on (cx, cy) of `canvas`. `xScale`
// narrows (< 1) or widens the letters; `tracking` adds pixels between them.
void drawLettering(Image& canvas, TextRenderer& face, const std::string& text, float pixelSize, float cx, float cy,
                   const LetterStyle& style, float xScale = 1, float tracking = 0);

// The largest pixel size, up to `pixelSize`, at which `text` is at most `maxWidth` pixels wide.
float fitPixelSize(TextRenderer& face, const std::string& text, float pixelSize, float maxWidth, float xScale = 1,
                   float tracking = 0);
