// SPDX-License-Identifier: MIT
#pragma once

#include "image.h"
#include "text_renderer.h"

// The game's bitmap font: a 256 x 256 sheet of 16 x 16 cells, glyph i in column i % 16 and row
// i / 16 from the top. Rows 0-5 hold codes 32-127 in the regular face, rows 8-13 the same codes
// in the bold face. White antialiased glyphs on black; the game advances 10 pixels per glyph, so
// each glyph's ink stays within the left kFontInkColumns columns of its cell, standing on one
// common baseline.
constexpr int kFontCell = 16;
constexpr int kFontInkColumns = 11;
constexpr int kFontBaselineRow = 12;  // rows 0-11 of a cell are above the baseline

Image makeFontSheet(TextRenderer& regular, TextRenderer& bold);
