// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// What the test's X server ($DISPLAY) shows: windows' sizes and pixels, and the cursor. A window
// that has just gone reads as empty.
namespace xscreen {

// A snapshot of a window, read in the game's text-screen coordinates (origin at the bottom left) at any scale.
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // top row first, 3 bytes a pixel
    // The red, or the lit, pixels in [x0, x1) × [y0, y1). Red is any clearly red pixel, however dark.
    int count(bool red, float x0, float y0, float x1, float y1) const;
    int red(float x0, float y0, float x1, float y1) const { return count(true, x0, y0, x1, y1); }
    int lit(float x0, float y0, float x1, float y1) const { return count(false, x0, y0, x1, y1); }
};

std::array<int, 2> size(unsigned long window);
Image grab(unsigned long window);
void close(unsigned long window);  // as a window manager's close button asks
bool cursorHidden();               // the cursor shown now is wholly transparent

}  // namespace xscreen
