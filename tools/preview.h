// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "image.h"

// Pictures of the assets as a player sees them, for judging the art while making it: text
// printed with the sheet as the game prints it, and images stretched to their on-screen shape.

// Prints `text` with the font sheet at (x, y) (top left of the first glyph, pixels from the top
// of `screen`), 10 pixels per character, adding the glyphs as light in `colour`.
void printWithSheet(Image& screen, const Image& sheet, int x, int y, const std::string& text, bool bold, Rgb colour);

// `image` resized to `width` x `height` pixels, as the game's projection shows it.
Image onScreen(const Image& image, int width, int height);
