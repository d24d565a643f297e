// SPDX-License-Identifier: MIT
#include "title_art.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "art_kit.h"
#include "lettering.h"
#include "present_texture.h"

namespace {

constexpr float kPi = static_cast<float>(std::numbers::pi);

const Rgb kGold = hex(0xffd45a);
const Rgb kDeepGold = hex(0xc8901a);

// A five-pointed gold star with a lighter centre.
void drawStar(Image& img, float cx, float cy, float r) {
    const auto outer = starPoints(cx, cy, r * 1.08f, r * 0.48f, 5);
    const auto inner = starPoints(cx, cy, r * 0.9f, r * 0.38f, 5);
    fillShape(
        img, cx - r * 1.2f, cy - r * 1.2f, cx + r * 1.2f, cy + r * 1.2f,
        [&](float x, float y) { return polygonDistance(x, y, outer); }, kDeepGold);
    fillShape(
        img, cx - r * 1.2f, cy - r * 1.2f, cx + r * 1.2f, cy + r * 1.2f,
        [&](float x, float y) { return polygonDistance(x, y, inner); },
        [&](float x, float y) {
            return mix(hex(0xfff6c8), kGold, std::clamp(std::hypot(x - cx, y - cy) / r, 0.0f, 1.0f));
        });
}

// A snow-laden fir: stacked tiers of dark green with snow along each tier's lower edge.
void drawFir(Image& img, float cx, float baseY, float height) {
    const float w = height * 0.42f;
    fillShape(
        img, cx - w * 0.08f, baseY - height * 0.12f, cx + w * 0.08f, baseY,
        [&](float x, float y) {
            return roundBoxDistance(x, y, cx - w * 0.07f, baseY - height * 0.14f, cx + w * 0.07f, baseY, 2);
        },
        hex(0x3a2412));
    for (int tier = 0; tier < 4; ++tier) {
        const float top = baseY - height + static_cast<float>(tier) * height * 0.2f;
        const float bottom = baseY - height * 0.12f - static_cast<float>(3 - tier) * height * 0.14f;
        const float half = w * (0.45f + 0.18f * static_cast<float>(tier));
        const std::vector<Vec2> tri{{cx, top}, {cx + half, bottom}, {cx - half, bottom}};
        fillShape(
            img, cx - half, top, cx + half, bottom, [&](float x, float y) { return polygonDistance(x, y, tri); },
            [&](float x, float) {
                return mix(hex(0x0f4a26), hex(0x06301a), std::clamp((x - cx) / half * 0.5f + 0.5f, 0.0f, 1.0f));
            });
        // Snow: a wavy band along the bottom of the tier.
        fillShape(
            img, cx - half, bottom - height * 0.06f, cx + half, bottom + 4,
            [&](float x, float y) {
                const float edge = bottom - height * 0.03f * (1 + std::sin((x - cx) * 0.12f));
                const float inside = std::fabs(x - cx) / half;
                return std::max(edge - y, y - bottom + (inside > 0.9f ? 100.0f : 0.0f));
            },
            hex(0xf2f7ff));
    }
}

Image finish(const Image& canvas, int width, int height) { return canvas.resampled(width, height); }

}  // namespace

Image makeSnowflakeImage() {
    Image canvas = designCanvas(128, 4.0f / 3, 4);
    const float cx = static_cast<float>(canvas.width()) / 2.0f, cy = static_cast<float>(canvas.height()) / 2.0f;
    const float r = static_cast<float>(canvas.height()) * 0.44f;
    Mask flake(canvas.width(), canvas.height());
    fillMask(flake, cx - r - 4, cy - r - 4, cx + r + 4, cy + r + 4,
             [&](float x, float y) { return snowflakeDistance(x, y, cx, cy, r); });
    flake.blurred(14).glow(canvas, 0, 0, hex(0x9fc8ff), 0.6f);
    flake.paint(canvas, 0, 0, [&](int x, int y) {
        // Brighter at the heart, faintly icy at the tips.
        const float d = std::hypot(static_cast<float>(x) - cx, static_cast<float>(y) - cy) / r;
        return mix(Rgb{1, 1, 1}, hex(0xcfe4ff), std::clamp(d, 0.0f, 1.0f));
    });
    return finish(canvas, 128, 128);
}

Image makeLogo(const TitleFaces& faces) {
    Image canvas = designCanvas(256, 8.0f / 3, 2);  // 1365 x 512
    const float ex = 270, ey = static_cast<float>(canvas.height()) / 2.0f;
    // The emblem: a holly wreath round a gold star.
    Mask ring(canvas.width(), canvas.height());
    fillMask(ring, ex - 200, ey - 200, ex + 200, ey + 200,
             [&](float x, float y) { return std::fabs(circleDistance(x, y, ex, ey, 165)) - 26; });
    ring.blurred(20).glow(canvas, 0, 0, hex(0x2a7a3a), 0.5f);
    ring.paint(canvas, 0, 0, hex(0x0f5a28));
    for (int i = 0; i < 10; ++i) {
        const float a = 2 * kPi * static_cast<float>(i) / 10 + 0.2f;
        drawHolly(canvas, ex + 165 * std::sin(a), ey - 165 * std::cos(a), 95, i % 2 == 1);
    }
    drawStar(canvas, ex, ey - 4, 105);
    addSparkle(canvas, ex - 30, ey - 50, 40, {1, 1, 0.9f});

    LetterStyle word;
    word.fillTop = {1, 1, 1};
    word.fillBottom = hex(0xd8e8ff);
    word.sheen = 0.2f;
    word.outline = kDeepGold;
    word.outlineWidth = 4;
    word.glow = hex(0x6080ff);
    word.glowRadius = 14;
    word.glowStrength = 0.35f;
    word.snowDepth = 16;
    const float size = fitPixelSize(faces.serifBold, "Yuletumble", 190, 830);
    drawLettering(canvas, faces.serifBold, "Yuletumble", size, 905, 205, word);

    LetterStyle team;
    team.fillTop = kGold;
    team.fillBottom = kDeepGold;
    drawLettering(canvas, faces.sansBold, "TEAM", 72, 905, 388, team, 1, 34);
    for (int side = -1; side <= 1; side += 2) {
        const Vec2 a{905 + static_cast<float>(side) * 150.0f, 388}, b{905 + static_cast<float>(side) * 400.0f, 388};
        fillShape(
            canvas, std::min(a.x, b.x) - 4, 380, std::max(a.x, b.x) + 4, 396,
            [&](float x, float y) { return capsuleDistance(x, y, a, b, 3); }, kDeepGold);
    }
    return finish(canvas, 512, 256);
}

Image makePresentsImage(const TitleFaces& faces) {
    Image canvas = designCanvas(256, 8.0f / 3, 2);  // 1365 x 512
    const float cx = static_cast<float>(canvas.width()) / 2.0f, cy = static_cast<float>(canvas.height()) / 2.0f;
    LetterStyle style;
    style.fillTop = {1, 1, 1};
    style.fillBottom = hex(0xffe7a8);
    style.glow = hex(0xffb040);
    style.glowRadius = 18;
    style.glowStrength = 0.35f;
    const float size = fitPixelSize(faces.serifItalic, "presents", 260, 760);
    drawLettering(canvas, faces.serifItalic, "presents", size, cx, cy - 20, style);
    // A flourish underneath: a gold line that thins out towards its ends, a star in the middle.
    fillShape(
        canvas, cx - 420, cy + 120, cx + 420, cy + 150,
        [&](float x, float y) {
            const float t = std::fabs(x - cx) / 400;
            return std::max(std::fabs(y - (cy + 135)) - 5 * (1 - t * t), t - 1);
        },
        kGold);
    drawStar(canvas, cx, cy + 135, 30);
    drawHolly(canvas, cx - 520, cy - 10, 150, false);
    drawHolly(canvas, cx + 520, cy - 10, 150, true);
    addSparkle(canvas, cx + 330, cy - 110, 36, {1, 1, 0.9f});
    addSparkle(canvas, cx - 300, cy + 60, 26, {1, 1, 0.9f});
    return finish(canvas, 512, 256);
}

Image makeGameLogo(const TitleFaces& faces) {
    Image canvas = designCanvas(512, 4.0f / 3, 2);  // 1365 x 1024
    const int w = canvas.width(), h = canvas.height();
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    // Night sky.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float t = static_cast<float>(y) / fh;
            canvas.at(x, y) = mix(hex(0x050b26), hex(0x24468a), t * t);
        }
    Lcg rng(2024);
    for (int i = 0; i < 140; ++i) {
        const float x = rng.range(0, fw), y = rng.range(0, fh * 0.75f), r = rng.range(1.2f, 3.2f);
        const float bright = rng.range(0.4f, 1.0f);
        fillShape(
            canvas, x - 4, y - 4, x + 4, y + 4, [&](float px, float py) { return circleDistance(px, py, x, y, r); },
            Rgb{1, 1, 0.9f}, bright);
    }
    for (int i = 0; i < 6; ++i)
        addSparkle(canvas, rng.range(40, fw - 40), rng.range(40, fh * 0.5f), rng.range(14, 26), {1, 1, 0.85f});
    // Moon.
    fillShape(
        canvas, 1080, 60, 1260, 240,
        [](float x, float y) {
            return std::max(circleDistance(x, y, 1170, 150, 70), -circleDistance(x, y, 1200, 130, 62));
        },
        hex(0xfff3c4));

    // Snowy hills with firs.
    auto hill = [&](float base, float amp, float freq, float phase, Rgb top, Rgb bottom) {
        for (int x = 0; x < w; ++x) {
            const float fx = static_cast<float>(x);
            const float edge =
                base + amp * std::sin(fx * freq + phase) + amp * 0.4f * std::sin(fx * freq * 2.7f + phase);
            for (int y = std::max(0, static_cast<int>(edge) - 1); y < h; ++y) {
                const float fy = static_cast<float>(y);
                const float c = std::clamp(fy + 0.5f - edge, 0.0f, 1.0f);
                canvas.blend(x, y, mix(top, bottom, std::clamp((fy - edge) / 200, 0.0f, 1.0f)), c);
            }
        }
    };
    hill(780, 34, 0.006f, 1.0f, hex(0xcfdcf0), hex(0x9fb4d6));
    drawFir(canvas, 120, 800, 300);
    drawFir(canvas, 230, 790, 220);
    drawFir(canvas, 1240, 790, 320);
    drawFir(canvas, 1120, 800, 200);
    hill(880, 22, 0.009f, 3.0f, hex(0xfbfdff), hex(0xc9d8ee));

    // A heap of presents in piece shapes, and one piece tumbling down onto it.
    std::vector<Image> boxes;
    for (int k = 0; k < kPresentKinds; ++k) boxes.push_back(makePresentTexture(k));
    const float s = 92;
    struct Cell {
        float x, y;
        int kind;
    };
    const Cell heap[] = {
        {440, 900, 3},         {440 + s, 900, 3},     {440 + 2 * s, 900, 3},     {440 + 2 * s, 900 - s, 3},      // L
        {440 + 3 * s, 900, 1}, {440 + 4 * s, 900, 1}, {440 + 5 * s, 900, 1},     {440 + 4 * s, 900 - s, 1},      // T
        {440, 900 - s, 5},     {440 + s, 900 - s, 5}, {440 + s, 900 - 2 * s, 5}, {440 + 2 * s, 900 - 2 * s, 5},  // S
    };
    for (const Cell& c : heap) drawTurnedImage(canvas, boxes[static_cast<size_t>(c.kind)], c.x, c.y, s, 0);
    // Snow settled on the top of every column of the heap: left end, right end, height.
    const float caps[][3] = {{440 - 0.5f * s, 440 + 0.5f * s, 900 - 1.5f * s},
                             {440 + 0.5f * s, 440 + 2.5f * s, 900 - 2.5f * s},
                             {440 + 2.5f * s, 440 + 3.5f * s, 900 - 0.5f * s},
                             {440 + 3.5f * s, 440 + 4.5f * s, 900 - 1.5f * s},
                             {440 + 4.5f * s, 440 + 5.5f * s, 900 - 0.5f * s}};
    for (const auto& cap : caps)
        fillShape(
            canvas, cap[0], cap[2] - 20, cap[1], cap[2] + 8,
            [&](float x, float y) {
                return roundBoxDistance(x, y, cap[0] + 2, cap[2] - 10 - 4 * std::sin(x * 0.08f), cap[1] - 2, cap[2] + 6,
                                        8);
            },
            hex(0xf6faff));
    const Cell falling[] = {{0, 0, 6}, {s, 0, 6}, {0, s, 6}, {0, 2 * s, 6}};  // J, turning as it falls
    const float fx = 1010, fy = 560, turn = -0.42f;
    for (const Cell& c : falling) {
        const float ox = c.x - s * 0.5f, oy = c.y - s;
        drawTurnedImage(canvas, boxes[static_cast<size_t>(c.kind)], fx + ox * std::cos(turn) - oy * std::sin(turn),
                        fy + ox * std::sin(turn) + oy * std::cos(turn), s, turn);
    }

    // Snowflakes drifting across.
    for (int i = 0; i < 34; ++i) {
        const float x = rng.range(20, fw - 20), y = rng.range(20, fh - 160), r = rng.range(7, 22);
        const float turn2 = rng.range(0, 1), alpha = rng.range(0.45f, 0.9f);
        fillShape(
            canvas, x - r - 2, y - r - 2, x + r + 2, y + r + 2,
            [&](float px, float py) { return snowflakeDistance(px, py, x, y, r, turn2); }, Rgb{1, 1, 1}, alpha);
    }

    // The title.
    LetterStyle title;
    title.fillTop = hex(0xff5a4a);
    title.fillBottom = hex(0x9a0010);
    title.sheen = 0.4f;
    title.outline = kGold;
    title.outlineWidth = 8;
    title.rim = hex(0x2a0306);
    title.rimWidth = 6;
    title.shadowOffset = 16;
    title.shadowOpacity = 0.7f;
    title.snowDepth = 30;
    const float size = fitPixelSize(faces.serifBold, "Yuletumble", 300, 1160);
    drawLettering(canvas, faces.serifBold, "Yuletumble", size, fw / 2.0f, 290, title);

    // A gold frame.
    fillShape(
        canvas, 0, 0, fw, fh,
        [&](float x, float y) { return std::fabs(roundBoxDistance(x, y, 14, 14, fw - 14.0f, fh - 14.0f, 28)) - 5; },
        kGold);
    fillShape(
        canvas, 0, 0, fw, fh,
        [&](float x, float y) { return std::fabs(roundBoxDistance(x, y, 30, 30, fw - 30.0f, fh - 30.0f, 18)) - 1.5f; },
        kDeepGold);
    // Outside the frame's curve the corners are dark.
    fillShape(
        canvas, 0, 0, fw, fh, [&](float x, float y) { return -roundBoxDistance(x, y, 9, 9, fw - 9.0f, fh - 9.0f, 33); },
        hex(0x02040c));
    return finish(canvas, 512, 512);
}

Image makeBanner(const TitleFaces& faces) {
    Image canvas = designCanvas(256, 16.0f / 3, 2);  // 2731 x 512
    const float cx = static_cast<float>(canvas.width()) / 2.0f, cy = static_cast<float>(canvas.height()) / 2.0f;
    LetterStyle style;
    style.fillTop = hex(0xfffbe8);
    style.fillBottom = hex(0xffc640);
    style.sheen = 0.3f;
    style.outline = hex(0xc01020);
    style.outlineWidth = 6;
    style.glow = hex(0xff3020);
    style.glowRadius = 22;
    style.glowStrength = 0.55f;
    style.snowDepth = 22;
    const float size = fitPixelSize(faces.serifBoldItalic, "Merry Christmas", 330, 2150);
    drawLettering(canvas, faces.serifBoldItalic, "Merry Christmas", size, cx, cy + 10, style);
    drawHolly(canvas, 150, cy, 230, false);
    drawHolly(canvas, static_cast<float>(canvas.width()) - 150.0f, cy, 230, true);
    Lcg rng(1225);
    for (int i = 0; i < 14; ++i)
        addSparkle(canvas, rng.range(300, static_cast<float>(canvas.width()) - 300.0f),
                   rng.range(40, static_cast<float>(canvas.height()) - 40.0f), rng.range(18, 40), {1, 0.95f, 0.8f});
    return finish(canvas, 1024, 256);
}
