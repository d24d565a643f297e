// SPDX-License-Identifier: MIT
#include "preview.h"

void printWithSheet(Image& screen, const Image& sheet, int x, int y, const std::string& text, bool bold, Rgb colour) {
    for (size_t n = 0; n < text.size(); ++n) {
        const int code = static_cast<unsigned char>(text[n]);
        if (code < 32 || code > 127) continue;
        const int glyph = code - 32 + (bold ? 128 : 0);
        const int cx = (glyph % 16) * 16, cy = (glyph / 16) * 16;
        for (int gy = 0; gy < 16; ++gy)
            for (int gx = 0; gx < 16; ++gx) {
                const float v = sheet.at(cx + gx, cy + gy).r;
                screen.add(x + static_cast<int>(n) * 10 + gx, y + gy, colour, v);
            }
    }
}

Image onScreen(const Image& image, int width, int height) { return image.resampled(width, height); }
