// SPDX-License-Identifier: MIT
#include "art_kit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

Image designCanvas(int fileHeight, float screenAspect, int scale, Rgb fill) {
    const int h = fileHeight * scale;
    return Image(static_cast<int>(std::lround(static_cast<float>(h) * screenAspect)), h, fill);
}

float snowflakeDistance(float px, float py, float cx, float cy, float r, float turn) {
    // Fold the point into one arm: six-fold symmetry, then mirror across the arm's axis.
    const float dx = px - cx, dy = py - cy;
    const float rho = std::hypot(dx, dy);
    float a = std::atan2(dx, -dy) - turn;  // 0 = straight up
    const float sector = static_cast<float>(std::numbers::pi) / 3;
    a = std::fmod(a, sector);
    if (a < 0) a += sector;
    if (a > sector / 2) a = sector - a;
    const Vec2 p{rho * std::sin(a), rho * std::cos(a)};  // arm along +y
    const float w = r * 0.07f;                           // stroke half-width
    float d = capsuleDistance(p.x, p.y, {0, 0}, {0, r * 0.92f}, w);
    // Side branches at 60 degrees to the arm, shorter towards the tip.
    const float at[3] = {0.34f, 0.56f, 0.76f};
    const float len[3] = {0.30f, 0.24f, 0.14f};
    for (int i = 0; i < 3; ++i) {
        const Vec2 base{0, r * at[i]};
        const Vec2 tip{r * len[i] * std::sin(static_cast<float>(std::numbers::pi) / 3),
                       r * at[i] + r * len[i] * std::cos(static_cast<float>(std::numbers::pi) / 3)};
        d = std::min(d, capsuleDistance(p.x, p.y, base, tip, w * 0.8f));
    }
    d = std::min(d, circleDistance(p.x, p.y, 0, r * 0.94f, w * 1.25f));  // round tip
    // A small hexagonal plate in the middle.
    d = std::min(d, rho - r * 0.16f);
    return d;
}

void addSparkle(Image& image, float cx, float cy, float size, Rgb colour) {
    const int r = static_cast<int>(std::ceil(size));
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x) {
            const float ax = static_cast<float>(std::abs(x)) / size, ay = static_cast<float>(std::abs(y)) / size;
            // Two thin crossed rays plus a round core.
            const float ray = std::max(0.0f, 1 - ax - 12 * ay) + std::max(0.0f, 1 - ay - 12 * ax);
            const float core = std::max(0.0f, 1 - std::hypot(ax, ay) * 4);
            image.add(static_cast<int>(cx) + x, static_cast<int>(cy) + y, colour, std::min(1.0f, ray * ray + core));
        }
}

void drawHolly(Image& image, float cx, float cy, float size, bool flip) {
    const float s = size / 100;
    const float f = flip ? -1.0f : 1.0f;
    const Rgb leafDark = hex(0x0d4d1e), leaf = hex(0x1f8a3a), vein = hex(0x7fcf7a);
    // A holly leaf: an ellipse with scalloped edges, pointing from the centre outwards.
    auto leafAt = [&](float angle) {
        const float ca = std::cos(angle), sa = std::sin(angle);
        auto dist = [=](float x, float y, float grow) {
            const float lx = ((x - cx) * ca + (y - cy) * sa) / s - 28;
            const float ly = (-(x - cx) * sa + (y - cy) * ca) / s;
            const float wave = 4 * std::fabs(std::sin(lx * 0.16f));
            return (std::hypot(lx / 30, ly / (15 + wave)) - 1) * 15 * s - grow;
        };
        fillShape(
            image, cx - size, cy - size, cx + size, cy + size, [&](float x, float y) { return dist(x, y, 2 * s); },
            leafDark);
        fillShape(
            image, cx - size, cy - size, cx + size, cy + size, [&](float x, float y) { return dist(x, y, -1.5f * s); },
            [&](float x, float y) {
                const float lx = ((x - cx) * ca + (y - cy) * sa) / s;
                return mix(leaf, hex(0x3fae4f), std::clamp(lx / 60, 0.0f, 1.0f));
            });
        const Vec2 a{cx, cy}, b{cx + ca * 50 * s, cy + sa * 50 * s};
        fillShape(
            image, cx - size, cy - size, cx + size, cy + size,
            [&](float x, float y) { return capsuleDistance(x, y, a, b, 1.2f * s); }, vein, 0.7f);
    };
    const float pi = static_cast<float>(std::numbers::pi);
    leafAt(flip ? pi + 0.35f : -0.35f);
    leafAt(flip ? 0.45f : pi - 0.45f);
    const Vec2 berries[3] = {{-8, -2}, {8, -3}, {0, 9}};
    for (const Vec2& b : berries) {
        const float bx = cx + f * b.x * s, by = cy + b.y * s;
        fillShape(
            image, bx - 12 * s, by - 12 * s, bx + 12 * s, by + 12 * s,
            [&](float x, float y) { return circleDistance(x, y, bx, by, 9 * s); },
            [&](float x, float y) {
                const float h = std::hypot(x - (bx - 3 * s), y - (by - 3 * s)) / (9 * s);
                return mix(hex(0xff6a5a), hex(0xb0101a), std::clamp(h, 0.0f, 1.0f));
            });
    }
}

Mask snowCaps(const Mask& ink, float depth, uint32_t seed) {
    Mask caps(ink.width(), ink.height());
    Lcg rng(seed);
    const float phase1 = rng.range(0, 6.28f), phase2 = rng.range(0, 6.28f);
    for (int x = 0; x < ink.width(); ++x) {
        const float fx = static_cast<float>(x);
        const float wave = 0.75f + 0.18f * std::sin(fx * 0.045f + phase1) + 0.07f * std::sin(fx * 0.13f + phase2);
        const int h = static_cast<int>(depth * wave);
        for (int y = 1; y < ink.height(); ++y) {
            if (ink.get(x, y) < 0.5f || ink.get(x, y - 1) >= 0.5f) continue;
            // An upward-facing edge: snow from h above it to a little way into the letter.
            for (int k = -h; k <= static_cast<int>(depth * 0.25f); ++k)
                if (y + k >= 0 && y + k < ink.height()) caps.at(x, y + k) = 1;
        }
    }
    // Round the heaps: blur, then sharpen back to a soft edge around the half-way line.
    Mask soft = caps.blurred(static_cast<int>(std::max(1.0f, depth * 0.18f)));
    for (int y = 0; y < soft.height(); ++y)
        for (int x = 0; x < soft.width(); ++x) {
            const float v = soft.at(x, y);
            soft.at(x, y) = std::clamp((v - 0.5f) * 6 + 0.5f, 0.0f, 1.0f);
        }
    return soft;
}

void drawTurnedImage(Image& image, const Image& src, float cx, float cy, float size, float angle, float shade) {
    const float ca = std::cos(angle), sa = std::sin(angle);
    const float half = size / 2;
    const float reach = half * 1.5f;
    fillShape(
        image, cx - reach, cy - reach, cx + reach, cy + reach,
        [&](float x, float y) {
            const float u = (x - cx) * ca + (y - cy) * sa, v = -(x - cx) * sa + (y - cy) * ca;
            return std::max(std::fabs(u), std::fabs(v)) - half;
        },
        [&](float x, float y) {
            const float u = (x - cx) * ca + (y - cy) * sa, v = -(x - cx) * sa + (y - cy) * ca;
            const float w = static_cast<float>(src.width()), h = static_cast<float>(src.height());
            const float sx = std::clamp((u + half) / size * w - 0.5f, 0.0f, w - 1.0f);
            const float sy = std::clamp((v + half) / size * h - 0.5f, 0.0f, h - 1.0f);
            const int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
            const int x1 = std::min(x0 + 1, src.width() - 1), y1 = std::min(y0 + 1, src.height() - 1);
            const float fx = sx - static_cast<float>(x0), fy = sy - static_cast<float>(y0);
            const Rgb top = mix(src.at(x0, y0), src.at(x1, y0), fx);
            const Rgb bottom = mix(src.at(x0, y1), src.at(x1, y1), fx);
            return scaled(mix(top, bottom, fy), shade);
        });
}
