// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Reads what the X server shows: a window's size and pixels, and whether
// the mouse cursor over it is hidden. Used by the end-to-end tests against the real game.
class XScreen {
public:
    XScreen();  // opens $DISPLAY; ok() is false without one
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    bool ok() const { return display_ != nullptr; }
    std::array<int, 2> windowSize(unsigned long window);

    // A snapshot of a window's pixels; coordinates in game terms: origin bottom left.
    struct Image {
        int width = 0, height = 0;
        std::vector<std::uint8_t> rgb;  // top row first, 3 bytes a pixel
        std::array<int, 3> at(int x, int yFromBottom) const;
        // Counts pixels in [x0,x1) x [y0,y1) (game coordinates) that satisfy the colour test.
        int count(int x0, int y0, int x1, int y1, bool (*test)(const std::array<int, 3>&)) const;
        bool writePpm(const std::string& path) const;
    };
    Image grab(unsigned long window);

    // Asks the window to close, as a window manager's close button does (WM_DELETE_WINDOW).
    void closeWindow(unsigned long window);

    // True when the cursor image the server shows now is fully transparent (hidden).
    bool cursorHidden();

    static bool isRed(const std::array<int, 3>& p) { return p[0] > 120 && p[1] < 80 && p[2] < 80; }
    static bool isWhite(const std::array<int, 3>& p) { return p[0] > 150 && p[1] > 150 && p[2] > 150; }
    static bool isLit(const std::array<int, 3>& p) { return p[0] + p[1] + p[2] > 60; }

private:
    struct _XDisplay* display_ = nullptr;
};
