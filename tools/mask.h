// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include "image.h"

// Coverage from 0 (none) to 1 (full) over a grid of pixels, row 0 at the top: the shape of
// lettering or of a drawn figure, before it is given a colour.
class Mask {
public:
    Mask(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    float& at(int x, int y) { return cells_[static_cast<size_t>(y) * width_ + x]; }
    // Coverage at (x, y); 0 outside the grid.
    float get(int x, int y) const;

    // Grows the shape by `radius` pixels in every direction, with a soft edge.
    Mask dilated(float radius) const;
    // Softens the shape by a blur about `radius` pixels wide (three box passes).
    Mask blurred(int radius) const;
    // Keeps the stronger of the two coverages, `other` placed at (dx, dy).
    void maxWith(const Mask& other, int dx, int dy);
    // Coverage multiplied by (1 - other), `other` placed at (dx, dy): cuts one shape from another.
    void subtract(const Mask& other, int dx, int dy);

    // Paints the shape onto `image` at (dx, dy), coloured by `shade`(x, y) in image pixels.
    template <class Shade>
    void paint(Image& image, int dx, int dy, Shade shade, float opacity = 1) const {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const float c = cells_[static_cast<size_t>(y) * width_ + x];
                if (c > 0) image.blend(dx + x, dy + y, shade(dx + x, dy + y), c * opacity);
            }
    }
    void paint(Image& image, int dx, int dy, Rgb colour, float opacity = 1) const {
        paint(
            image, dx, dy, [colour](int, int) { return colour; }, opacity);
    }
    // Adds the shape as light: for glows on black.
    void glow(Image& image, int dx, int dy, Rgb colour, float strength) const;

private:
    int width_;
    int height_;
    std::vector<float> cells_;
};
