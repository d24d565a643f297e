// SPDX-License-Identifier: MIT
#include "present_texture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "shapes.h"

namespace {

enum class Pattern { Dots, Stars, Snowflakes, Stripes };

struct Wrapping {
    const char* name;
    Rgb paper;
    Rgb pattern;
    Pattern kind;
    Rgb ribbon;
};

// Colours follow the file names; ribbon colours and patterns differ so that the kinds tell
// apart at a glance.
const Wrapping kWrappings[kPresentKinds] = {
    {"box_white", hex(0xf4f4f0), hex(0xd42a2a), Pattern::Dots, hex(0xc8102e)},
    {"box_white2", hex(0xf2f5ee), hex(0x1f8a3a), Pattern::Stars, hex(0x11803a)},
    {"box_white3", hex(0xeef3f8), hex(0x6f9fd0), Pattern::Snowflakes, hex(0x2457b5)},
    {"box_red", hex(0xd01c22), hex(0xfff4e0), Pattern::Dots, hex(0xf2c230)},
    {"box_red2", hex(0x8e0f1f), hex(0xe7b642), Pattern::Stars, hex(0x1c8f46)},
    {"box_orange", hex(0xf58a1f), hex(0xfff3dc), Pattern::Snowflakes, hex(0xc8102e)},
    {"box_orange2", hex(0xf0a030), hex(0xd86a10), Pattern::Stripes, hex(0x17507a)},
};

constexpr float kDesign = 256;  // drawn at 4x, then averaged down
constexpr float kRibbonHalf = 19;

void drawPattern(Image& img, const Wrapping& w) {
    const float s = kDesign;
    switch (w.kind) {
        case Pattern::Dots:
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 7; ++col) {
                    const float cx = static_cast<float>(col) * 42.0f + static_cast<float>(row % 2) * 21.0f + 8;
                    const float cy = static_cast<float>(row) * 42.0f + 8;
                    fillShape(
                        img, cx - 12, cy - 12, cx + 12, cy + 12,
                        [&](float x, float y) { return circleDistance(x, y, cx, cy, 10); }, w.pattern);
                }
            break;
        case Pattern::Stars:
            for (int row = 0; row < 6; ++row)
                for (int col = 0; col < 6; ++col) {
                    const float cx = static_cast<float>(col) * 52.0f + static_cast<float>(row % 2) * 26.0f + 14;
                    const float cy = static_cast<float>(row) * 52.0f + 14;
                    const auto star = starPoints(cx, cy, 17, 7, 5, 0.15f * static_cast<float>((row + col) % 3 - 1));
                    fillShape(
                        img, cx - 18, cy - 18, cx + 18, cy + 18,
                        [&](float x, float y) { return polygonDistance(x, y, star); }, w.pattern);
                }
            break;
        case Pattern::Snowflakes:
            for (int row = 0; row < 5; ++row)
                for (int col = 0; col < 5; ++col) {
                    const float cx = static_cast<float>(col) * 64.0f + static_cast<float>(row % 2) * 32.0f + 16;
                    const float cy = static_cast<float>(row) * 64.0f + 16;
                    auto flake = [&](float x, float y) {
                        float d = 1e9f;
                        for (int k = 0; k < 3; ++k) {
                            const float a = static_cast<float>(std::numbers::pi) * static_cast<float>(k) / 3;
                            const Vec2 e{16 * std::sin(a), 16 * std::cos(a)};
                            d = std::min(d, capsuleDistance(x, y, {cx - e.x, cy - e.y}, {cx + e.x, cy + e.y}, 3));
                        }
                        return std::min(d, circleDistance(x, y, cx, cy, 6));
                    };
                    fillShape(img, cx - 20, cy - 20, cx + 20, cy + 20, flake, w.pattern);
                }
            break;
        case Pattern::Stripes:
            fillShape(
                img, 0, 0, s, s,
                [&](float x, float y) {
                    const float u = std::fmod(x + y + 1000, 64.0f);
                    return std::fabs(u - 32) - 14;  // 28-pixel bands every 64
                },
                w.pattern);
            break;
    }
}

void drawRibbon(Image& img, const Wrapping& w) {
    const float c = kDesign / 2;
    const Rgb dark = scaled(w.ribbon, 0.6f);
    const Rgb light = mix(w.ribbon, {1, 1, 1}, 0.35f);
    // Satin: darker rims, a lighter sheen along the middle.
    auto band = [&](float across) {
        const float t = std::fabs(across) / kRibbonHalf;
        if (t > 0.82f) return dark;
        return mix(light, w.ribbon, std::min(1.0f, t * 1.6f));
    };
    fillShape(
        img, c - kRibbonHalf - 1, 0, c + kRibbonHalf + 1, kDesign,
        [&](float x, float) { return std::fabs(x - c) - kRibbonHalf; }, [&](float x, float) { return band(x - c); });
    fillShape(
        img, 0, c - kRibbonHalf - 1, kDesign, c + kRibbonHalf + 1,
        [&](float, float y) { return std::fabs(y - c) - kRibbonHalf; }, [&](float, float y) { return band(y - c); });

    // The bow: two loops leaning out from a knot, each an outlined teardrop.
    for (int side = -1; side <= 1; side += 2) {
        auto loop = [&](float x, float y, float grow) {
            const float lx = (x - c) * static_cast<float>(side), ly = y - c;
            // An ellipse tilted upwards, from the knot outwards.
            const float ca = std::cos(-0.45f), sa = std::sin(-0.45f);
            const float u = (lx - 34) * ca - ly * sa, v = (lx - 34) * sa + ly * ca;
            return (std::hypot(u / (36 + grow), v / (20 + grow)) - 1) * (20 + grow);
        };
        fillShape(
            img, c - 80, c - 60, c + 80, c + 40, [&](float x, float y) { return loop(x, y, 5); }, dark);
        fillShape(
            img, c - 80, c - 60, c + 80, c + 40, [&](float x, float y) { return loop(x, y, 0); },
            [&](float x, float y) {
                const float t = std::clamp((y - (c - 40)) / 60.0f, 0.0f, 1.0f);
                (void)x;
                return mix(light, w.ribbon, t);
            });
        fillShape(
            img, c - 80, c - 60, c + 80, c + 40, [&](float x, float y) { return loop(x, y, -11); }, dark);
    }
    fillShape(
        img, c - 22, c - 22, c + 22, c + 22, [&](float x, float y) { return circleDistance(x, y, c, c, 18); }, dark);
    fillShape(
        img, c - 22, c - 22, c + 22, c + 22, [&](float x, float y) { return circleDistance(x, y, c, c, 14); },
        [&](float x, float y) { return mix(light, w.ribbon, std::clamp((y - x + 20) / 40.0f, 0.0f, 1.0f)); });
}

// Darkens towards the edges of the face so that a heap of blocks reads as separate boxes.
void drawEdges(Image& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            const float d = std::min({fx + 0.5f, fy + 0.5f, kDesign - fx - 0.5f, kDesign - fy - 0.5f});
            float k = 1;
            if (d < 24) k = 0.72f + 0.28f * std::sqrt(d / 24);
            if (d < 6) k = 0.45f;
            img.at(x, y) = scaled(img.at(x, y), k);
        }
}

}  // namespace

const char* presentTextureName(int kind) { return kWrappings[std::clamp(kind, 0, kPresentKinds - 1)].name; }

Image makePresentTexture(int kind, int size) {
    const Wrapping& w = kWrappings[std::clamp(kind, 0, kPresentKinds - 1)];
    const int n = static_cast<int>(kDesign);
    Image img(n, n, w.paper);
    // A soft highlight in the middle of the paper.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float r =
                std::hypot(static_cast<float>(x) - kDesign / 2, static_cast<float>(y) - kDesign / 2) / kDesign;
            img.at(x, y) = scaled(w.paper, 1.04f - 0.16f * r);
        }
    drawPattern(img, w);
    drawRibbon(img, w);
    drawEdges(img);
    return img.resampled(size, size);
}
