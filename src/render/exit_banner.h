// SPDX-License-Identifier: MIT
#pragma once

#include "texture/texture.h"

// The farewell screen: a red glow pane textured with the banner image scrolling upwards, and the
// banner itself (16 x 4 units, light on black, added on top) sliding left by 1 unit per second
// from x = 8. Shown once, at the end of the run, so it is never reset.
class ExitBanner : public Texture {
public:
    ExitBanner() = default;

    // Loads "data/merry_christmas.bmp"; without it both quads are drawn untextured.
    void init();
    // Advances by `dt` milliseconds, then draws.
    void update(float dt);
    // The arithmetic half of update: moves the banner and the glow without drawing.
    void advance(float dt);
    // Draws the glow and the banner; restores the base state.
    void draw() const;

    float x() const { return x_; }

private:
    float x_ = 8;         // centre of the banner in view units; starts at 8, falls 0.001 per ms
    float scroll_ = 0;    // texture t offset of the glow; starts at 0, grows 0.005 per ms
    double elapsed_ = 0;  // ms advanced; both values are derived from it so they land exactly
                          // on whole values after whole seconds
};
