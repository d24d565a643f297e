// SPDX-License-Identifier: MIT
#include "lettering.h"

#include <algorithm>
#include <cmath>

#include "art_kit.h"

void drawLettering(Image& canvas, TextRenderer& face, const std::string& text, float pixelSize, float cx, float cy,
                   const LetterStyle& style, float xScale, float tracking) {
    const int margin = static_cast<int>(std::ceil(style.outlineWidth + style.rimWidth + style.glowRadius * 2 +
                                                  style.shadowOffset * 2 + style.snowDepth + 4));
    const TextRenderer::Line line = face.line(text, pixelSize, xScale, tracking, margin);
    const Mask& ink = line.mask;
    // Place the ink box (the mask without its margin) centred on (cx, cy).
    const int x0 = static_cast<int>(std::lround(cx - static_cast<float>(ink.width()) / 2.0f));
    const int y0 = static_cast<int>(std::lround(cy - static_cast<float>(ink.height()) / 2.0f));
    const float inkTop = static_cast<float>(y0 + margin);
    const float inkBottom = static_cast<float>(y0 + ink.height() - margin);

    const Mask outlined = style.outlineWidth > 0 ? ink.dilated(style.outlineWidth) : ink;
    const Mask rimmed = style.rimWidth > 0 ? outlined.dilated(style.rimWidth) : outlined;
    Mask snow(1, 1);
    if (style.snowDepth > 0) snow = snowCaps(outlined, style.snowDepth, 7);

    if (style.glowRadius > 0)
        rimmed.blurred(static_cast<int>(style.glowRadius)).glow(canvas, x0, y0, style.glow, style.glowStrength);
    if (style.shadowOffset > 0) {
        const Mask shadow = rimmed.blurred(static_cast<int>(style.shadowOffset * 0.6f) + 1);
        const int d = static_cast<int>(style.shadowOffset);
        shadow.paint(canvas, x0 + d, y0 + d, Rgb{0, 0, 0.05f}, style.shadowOpacity);
    }
    if (style.rimWidth > 0) rimmed.paint(canvas, x0, y0, style.rim);
    if (style.outlineWidth > 0) outlined.paint(canvas, x0, y0, style.outline);
    ink.paint(canvas, x0, y0, [&](int, int y) {
        const float t = std::clamp((static_cast<float>(y) - inkTop) / std::max(1.0f, inkBottom - inkTop), 0.0f, 1.0f);
        Rgb c = mix(style.fillTop, style.fillBottom, t);
        if (style.sheen > 0) {
            const float band = std::max(0.0f, 1 - std::fabs(t - 0.22f) / 0.16f);
            c = mix(c, {1, 1, 1}, style.sheen * band);
        }
        return c;
    });
    if (style.snowDepth > 0) {
        // Snow with a faint blue shadow along its lower edge.
        snow.paint(canvas, x0 + 1, y0 + 2, hex(0x9fb8d8), 0.8f);
        snow.paint(canvas, x0, y0, [](int, int) { return hex(0xfbfdff); });
    }
}

float fitPixelSize(TextRenderer& face, const std::string& text, float pixelSize, float maxWidth, float xScale,
                   float tracking) {
    const float width = static_cast<float>(face.line(text, pixelSize, xScale, tracking, 0).mask.width());
    return width > maxWidth ? pixelSize * maxWidth / width : pixelSize;
}
