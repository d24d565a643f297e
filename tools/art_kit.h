// SPDX-License-Identifier: MIT
#pragma once

// Pieces shared by the intro pictures, the banner, the snowflake and the icon.

#include <cstdint>

#include "image.h"
#include "mask.h"
#include "shapes.h"

// A blank picture to draw one image in, sized so that its pixels are square as the player sees
// them: `screenAspect` is the width/height of the image on screen and `scale` the number of
// drawing pixels per file pixel vertically. Scaling it down to the file size squeezes
// everything by the projection's stretch, so it looks right again on screen.
Image designCanvas(int fileHeight, float screenAspect, int scale, Rgb fill = {});

// A six-armed snowflake of radius `r` centred on (cx, cy), turned by `turn` radians.
float snowflakeDistance(float px, float py, float cx, float cy, float r, float turn = 0);

// A four-pointed twinkle of light added onto the picture.
void addSparkle(Image& image, float cx, float cy, float size, Rgb colour);

// A sprig of two holly leaves and three berries, `size` pixels across, centred on (cx, cy);
// `flip` mirrors it.
void drawHolly(Image& image, float cx, float cy, float size, bool flip);

// Snow lying on every upward-facing edge of the shape in `ink`: a soft-edged mask of caps about
// `depth` pixels deep, wavy along their length.
Mask snowCaps(const Mask& ink, float depth, uint32_t seed);

// Paints `src` as a square of `size` pixels centred on (cx, cy), turned by `angle` radians,
// sampled bilinearly with antialiased edges.
void drawTurnedImage(Image& image, const Image& src, float cx, float cy, float size, float angle, float shade = 1);

// A small deterministic random generator (the same numbers on every run and machine).
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() & 0xffffff) / 16777216.0f; }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

private:
    uint32_t state_;
};
