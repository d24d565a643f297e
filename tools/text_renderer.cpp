// SPDX-License-Identifier: MIT
#include "text_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <vector>

struct TextRenderer::Library {
    FT_Library handle = nullptr;
};

namespace {

FT_Face asFace(void* face) { return static_cast<FT_Face>(face); }

// Copies FreeType's 8-bit coverage bitmap into `mask` with its top left at (x0, y0).
void blit(Mask& mask, const FT_Bitmap& bitmap, int x0, int y0) {
    for (unsigned row = 0; row < bitmap.rows; ++row)
        for (unsigned col = 0; col < bitmap.width; ++col) {
            const int x = x0 + static_cast<int>(col), y = y0 + static_cast<int>(row);
            if (x < 0 || y < 0 || x >= mask.width() || y >= mask.height()) continue;
            const float v = bitmap.buffer[row * bitmap.pitch + col] / 255.0f;
            mask.at(x, y) = std::min(1.0f, mask.at(x, y) + v);
        }
}

}  // namespace

TextRenderer::TextRenderer(const std::string& fontFile) : library_(std::make_unique<Library>()) {
    if (FT_Init_FreeType(&library_->handle) != 0) {
        library_->handle = nullptr;
        return;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library_->handle, fontFile.c_str(), 0, &face) == 0) face_ = face;
}

TextRenderer::~TextRenderer() {
    if (face_) FT_Done_Face(asFace(face_));
    if (library_->handle) FT_Done_FreeType(library_->handle);
}

Mask TextRenderer::glyph(char32_t code, float pixelSize, float originX, int baselineY, int cellWidth, int cellHeight,
                         bool hinted) {
    Mask mask(cellWidth, cellHeight);
    if (!face_) return mask;
    FT_Face face = asFace(face_);
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64)), 72, 72);
    FT_Vector delta{static_cast<FT_Pos>(std::lround((originX - std::floor(originX)) * 64)), 0};
    FT_Set_Transform(face, nullptr, &delta);
    const FT_Int32 flags = FT_LOAD_RENDER | (hinted ? FT_LOAD_TARGET_LIGHT : FT_LOAD_NO_HINTING);
    if (FT_Load_Char(face, code, flags) != 0) return mask;
    const FT_GlyphSlot g = face->glyph;
    blit(mask, g->bitmap, static_cast<int>(std::floor(originX)) + g->bitmap_left, baselineY - g->bitmap_top);
    return mask;
}

TextRenderer::Line TextRenderer::line(const std::string& text, float pixelSize, float xScale, float tracking,
                                      int margin) {
    Line out;
    if (!face_) return out;
    FT_Face face = asFace(face_);
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64)), 72, 72);

    struct Placed {
        std::vector<unsigned char> pixels;
        unsigned width, rows;
        int pitch, left, top;  // top: pixels above the baseline
    };
    std::vector<Placed> placed;
    double pen = 0;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        const FT_UInt index = FT_Get_Char_Index(face, ch);
        if (previous && index && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            if (FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern) == 0)
                pen += static_cast<double>(kern.x) / 64.0 * xScale;
        }
        const double whole = std::floor(pen);
        FT_Matrix matrix{static_cast<FT_Fixed>(std::lround(xScale * 65536)), 0, 0, 0x10000};
        FT_Vector delta{static_cast<FT_Pos>(std::lround((pen - whole) * 64)), 0};
        FT_Set_Transform(face, &matrix, &delta);
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) continue;
        const FT_GlyphSlot g = face->glyph;
        Placed p{
            {},           g->bitmap.width, g->bitmap.rows, g->bitmap.pitch, static_cast<int>(whole) + g->bitmap_left,
            g->bitmap_top};
        p.pixels.assign(g->bitmap.buffer,
                        g->bitmap.buffer + static_cast<size_t>(std::abs(g->bitmap.pitch)) * g->bitmap.rows);
        placed.push_back(std::move(p));
        pen += static_cast<double>(g->advance.x) / 64.0 + tracking;
        previous = index;
    }
    FT_Set_Transform(face, nullptr, nullptr);

    int left = 1 << 30, right = -(1 << 30), top = -(1 << 30), bottom = 1 << 30;
    for (const Placed& p : placed) {
        if (p.width == 0 || p.rows == 0) continue;
        left = std::min(left, p.left);
        right = std::max(right, p.left + static_cast<int>(p.width));
        top = std::max(top, p.top);
        bottom = std::min(bottom, p.top - static_cast<int>(p.rows));
    }
    if (left > right) return out;
    out.mask = Mask(right - left + 2 * margin, top - bottom + 2 * margin);
    out.baseline = margin + top;
    for (const Placed& p : placed) {
        FT_Bitmap bitmap{};
        bitmap.rows = p.rows;
        bitmap.width = p.width;
        bitmap.pitch = p.pitch;
        bitmap.buffer = const_cast<unsigned char*>(p.pixels.data());
        blit(out.mask, bitmap, p.left - left + margin, out.baseline - p.top);
    }
    return out;
}
