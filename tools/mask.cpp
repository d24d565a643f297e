// SPDX-License-Identifier: MIT
#include "mask.h"

#include <algorithm>
#include <cmath>

Mask::Mask(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), cells_(static_cast<size_t>(width_) * height_, 0.0f) {}

float Mask::get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return cells_[static_cast<size_t>(y) * width_ + x];
}

Mask Mask::dilated(float radius) const {
    Mask out(width_, height_);
    const int r = static_cast<int>(std::ceil(radius + 1));
    // Coverage of each offset of the disc, computed once.
    std::vector<float> disc(static_cast<size_t>(2 * r + 1) * (2 * r + 1));
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            disc[static_cast<size_t>(dy + r) * (2 * r + 1) + (dx + r)] =
                std::clamp(radius + 0.5f - std::hypot(static_cast<float>(dx), static_cast<float>(dy)), 0.0f, 1.0f);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const float c = get(x, y);
            if (c <= 0) continue;
            // Pixels whose whole disc is inside ink add nothing new; skip their interior work.
            for (int dy = -r; dy <= r; ++dy) {
                const int yy = y + dy;
                if (yy < 0 || yy >= height_) continue;
                for (int dx = -r; dx <= r; ++dx) {
                    const int xx = x + dx;
                    if (xx < 0 || xx >= width_) continue;
                    const float v = c * disc[static_cast<size_t>(dy + r) * (2 * r + 1) + (dx + r)];
                    float& o = out.at(xx, yy);
                    if (v > o) o = v;
                }
            }
        }
    return out;
}

Mask Mask::blurred(int radius) const {
    Mask a = *this;
    if (radius <= 0) return a;
    Mask b(width_, height_);
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height_; ++y) {
            float sum = 0;
            for (int x = -radius; x <= radius; ++x) sum += a.get(x, y);
            for (int x = 0; x < width_; ++x) {
                b.at(x, y) = sum * norm;
                sum += a.get(x + radius + 1, y) - a.get(x - radius, y);
            }
        }
        for (int x = 0; x < width_; ++x) {
            float sum = 0;
            for (int y = -radius; y <= radius; ++y) sum += b.get(x, y);
            for (int y = 0; y < height_; ++y) {
                a.at(x, y) = sum * norm;
                sum += b.get(x, y + radius + 1) - b.get(x, y - radius);
            }
        }
    }
    return a;
}

void Mask::maxWith(const Mask& other, int dx, int dy) {
    for (int y = 0; y < other.height(); ++y)
        for (int x = 0; x < other.width(); ++x) {
            const int xx = x + dx, yy = y + dy;
            if (xx < 0 || yy < 0 || xx >= width_ || yy >= height_) continue;
            at(xx, yy) = std::max(at(xx, yy), other.get(x, y));
        }
}

void Mask::subtract(const Mask& other, int dx, int dy) {
    for (int y = 0; y < other.height(); ++y)
        for (int x = 0; x < other.width(); ++x) {
            const int xx = x + dx, yy = y + dy;
            if (xx < 0 || yy < 0 || xx >= width_ || yy >= height_) continue;
            at(xx, yy) *= 1.0f - std::clamp(other.get(x, y), 0.0f, 1.0f);
        }
}

void Mask::glow(Image& image, int dx, int dy, Rgb colour, float strength) const {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const float c = cells_[static_cast<size_t>(y) * width_ + x];
            if (c > 0) image.add(dx + x, dy + y, colour, c * strength);
        }
}
