// SPDX-License-Identifier: MIT
#include "font_sheet.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPixelSize = 15.0f;  // about 9 pixels of advance in a monospaced face

// Draws code `code` into the cell at (cellX, cellY) of the sheet.
void drawGlyph(Image& sheet, TextRenderer& face, char32_t code, int cellX, int cellY) {
    // Render wider than the cell first, then shift the ink into the allowed columns.
    const int pad = 4;
    Mask m = face.glyph(code, kPixelSize, pad + 0.5f, kFontBaselineRow, kFontCell + 2 * pad, kFontCell, true);
    int inkLeft = m.width(), inkRight = -1;
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            if (m.get(x, y) > 0.02f) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
    int shift = pad;  // columns to move left so that the pen origin lands at 0.5
    if (inkRight >= 0) {
        if (inkRight - shift > kFontInkColumns - 1) shift = inkRight - (kFontInkColumns - 1);
        if (inkLeft - shift < 0) shift = inkLeft;
    }
    for (int y = 0; y < kFontCell; ++y)
        for (int x = 0; x < kFontInkColumns; ++x) {
            // A slight lift of the mid-tones keeps thin strokes readable as light on black.
            const float c = std::pow(std::clamp(m.get(x + shift, y), 0.0f, 1.0f), 0.85f);
            sheet.at(cellX * kFontCell + x, cellY * kFontCell + y) = {c, c, c};
        }
}

}  // namespace

Image makeFontSheet(TextRenderer& regular, TextRenderer& bold) {
    Image sheet(16 * kFontCell, 16 * kFontCell);
    for (int i = 0; i < 96; ++i) {
        const char32_t code = static_cast<char32_t>(32 + i);
        if (code == 127) continue;  // DEL has no picture
        drawGlyph(sheet, regular, code, i % 16, i / 16);
        drawGlyph(sheet, bold, code, i % 16, 8 + i / 16);
    }
    return sheet;
}
