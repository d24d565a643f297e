// SPDX-License-Identifier: MIT
#pragma once

#include "texture/texture.h"

// One of the full-screen intro images: either zooms from scale 1 to 3 while fading out, or fades
// in from alpha 0 to 1. Drawn as a 2 x 1 quad centred on the origin of the current modelview
// matrix. Shown once per run; never restarted after init.
class FadeImage : public Texture {
public:
    enum class Mode {
        zoom,    // grows from scale 1 to 3, alpha 1 - scale / 3
        fadeIn,  // alpha grows from 0 to 1 at `speed` per ms
    };

    FadeImage() = default;

    // Loads the image (a failed load leaves it untextured white), stores the mode and starts the
    // animation. A `speed` of 0 means the default 0.0002 alpha per ms (a 5000 ms fade).
    void init(const char* file, Mode mode, float speed);
    // Advances by `dt` milliseconds, then draws.
    void update(float dt);
    // The arithmetic half of update: advances the animation without drawing.
    void advance(float dt);
    // Draws the image with its current scale and alpha; restores the base state.
    void draw() const;
    bool isDone() const;

    float amount() const { return amount_; }

private:
    Mode mode_ = Mode::fadeIn;  // default fadeIn
    float amount_ = 0;          // zoom: scale 1..3; fadeIn: alpha 0..1; may overshoot; default 0
    float speed_ = 0;           // fadeIn alpha per ms; 0 until init, which makes it 0.0002 if not given
    double elapsed_ = 0;        // ms advanced since init; `amount` is derived from it so that frames of
                                // whole milliseconds reach the end value exactly on time
};
