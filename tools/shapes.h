// SPDX-License-Identifier: MIT
#pragma once

// Signed distances (negative inside) to simple figures, in pixels, and a filler that draws any
// such figure antialiased. Every picture not made of lettering is built from these.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "image.h"
#include "mask.h"

struct Vec2 {
    float x = 0, y = 0;
};

inline float circleDistance(float px, float py, float cx, float cy, float r) {
    return std::hypot(px - cx, py - cy) - r;
}

// A line from a to b with round ends, `r` thick on each side.
inline float capsuleDistance(float px, float py, Vec2 a, Vec2 b, float r) {
    const float bx = b.x - a.x, by = b.y - a.y;
    const float len2 = bx * bx + by * by;
    const float t = len2 > 0 ? std::clamp(((px - a.x) * bx + (py - a.y) * by) / len2, 0.0f, 1.0f) : 0;
    return std::hypot(px - a.x - bx * t, py - a.y - by * t) - r;
}

// An axis-aligned box from (x0, y0) to (x1, y1) with corners rounded by `r`.
inline float roundBoxDistance(float px, float py, float x0, float y0, float x1, float y1, float r) {
    const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
}

// Any closed polygon (non-zero winding).
inline float polygonDistance(float px, float py, const std::vector<Vec2>& v) {
    float best = 1e30f;
    int winding = 0;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
        const Vec2 a = v[j], b = v[i];
        best = std::min(best, capsuleDistance(px, py, a, b, 0));
        if (a.y <= py) {
            if (b.y > py && (b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y) > 0) ++winding;
        } else if (b.y <= py && (b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y) < 0) {
            --winding;
        }
    }
    return winding != 0 ? -best : best;
}

// The points of a star with `points` tips around (cx, cy), first tip straight up.
inline std::vector<Vec2> starPoints(float cx, float cy, float outer, float inner, int points, float turn = 0) {
    std::vector<Vec2> v;
    for (int i = 0; i < 2 * points; ++i) {
        const float a =
            turn + static_cast<float>(std::numbers::pi) * static_cast<float>(i) / static_cast<float>(points);
        const float r = i % 2 == 0 ? outer : inner;
        v.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
    }
    return v;
}

inline float coverage(float distance) { return std::clamp(0.5f - distance, 0.0f, 1.0f); }

// Paints the figure `distance`(x, y) over the pixels of the box (x0, y0)-(x1, y1), coloured by
// `shade`(x, y), sampling at pixel centres.
template <class Distance, class Shade>
void fillShape(Image& image, float x0, float y0, float x1, float y1, Distance distance, Shade shade,
               float opacity = 1) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    const int ix1 = std::min(image.width() - 1, static_cast<int>(std::ceil(x1)) + 1);
    const int iy1 = std::min(image.height() - 1, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            const float cx = static_cast<float>(x) + 0.5f, cy = static_cast<float>(y) + 0.5f;
            const float c = coverage(distance(cx, cy));
            if (c > 0) image.blend(x, y, shade(cx, cy), c * opacity);
        }
}

template <class Distance>
void fillShape(Image& image, float x0, float y0, float x1, float y1, Distance distance, Rgb colour, float opacity = 1) {
    fillShape(
        image, x0, y0, x1, y1, distance, [colour](float, float) { return colour; }, opacity);
}

// The same figure as a coverage mask.
template <class Distance>
void fillMask(Mask& mask, float x0, float y0, float x1, float y1, Distance distance) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    const int ix1 = std::min(mask.width() - 1, static_cast<int>(std::ceil(x1)) + 1);
    const int iy1 = std::min(mask.height() - 1, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            const float cx = static_cast<float>(x) + 0.5f, cy = static_cast<float>(y) + 0.5f;
            mask.at(x, y) = std::max(mask.at(x, y), coverage(distance(cx, cy)));
        }
}
