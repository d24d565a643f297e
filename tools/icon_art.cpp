// SPDX-License-Identifier: MIT
#include "icon_art.h"

#include <algorithm>
#include <cmath>

#include "art_kit.h"
#include "png_writer.h"
#include "present_texture.h"

std::vector<uint8_t> makeIconPng() {
    constexpr int kScale = 4;
    const int n = 256 * kScale;
    const float s = static_cast<float>(kScale);
    Image art(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) art.at(x, y) = mix(hex(0x0a1640), hex(0x2a5298), static_cast<float>(y) / n);
    // Snow along the bottom.
    fillShape(
        art, 0, 180 * s, static_cast<float>(n), static_cast<float>(n),
        [&](float x, float y) { return 200 * s + 8 * s * std::sin(x / (30 * s)) - y; }, hex(0xf2f7ff));

    // A T piece of presents resting on the snow.
    const float box = 60 * s, left = 38 * s, bottom = 206 * s;
    const int kinds[4] = {3, 0, 5, 1};
    const float cells[4][2] = {{0, 0}, {1, 0}, {2, 0}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        const Image face = makePresentTexture(kinds[i], static_cast<int>(box));
        drawTurnedImage(art, face, left + box * (cells[i][0] + 0.5f), bottom - box * (cells[i][1] + 0.5f), box, 0);
    }
    // A snowflake and a star above.
    fillShape(
        art, 20 * s, 10 * s, 110 * s, 100 * s,
        [&](float x, float y) { return snowflakeDistance(x, y, 62 * s, 52 * s, 36 * s, 0.2f); }, Rgb{1, 1, 1});
    const auto star = starPoints(196 * s, 50 * s, 30 * s, 13 * s, 5);
    fillShape(
        art, 160 * s, 14 * s, 232 * s, 86 * s, [&](float x, float y) { return polygonDistance(x, y, star); },
        hex(0xffd45a));
    addSparkle(art, 196 * s, 50 * s, 40 * s, {0.6f, 0.55f, 0.3f});

    // Down to the icon's size, the tile's outline as the opacity.
    const Image small = art.resampled(256, 256);
    Mask alpha(256, 256);
    fillMask(alpha, 0, 0, 256, 256, [&](float x, float y) { return roundBoxDistance(x, y, 8, 8, 248, 248, 44); });
    return pngBytes(small, alpha);
}
