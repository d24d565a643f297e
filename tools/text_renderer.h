// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>

#include "mask.h"

// Lettering from one TrueType face through FreeType, as coverage masks.
class TextRenderer {
public:
    // Opens the face in `fontFile`; ok() is false if FreeType cannot read it.
    explicit TextRenderer(const std::string& fontFile);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    bool ok() const { return face_ != nullptr; }

    // One glyph drawn on a `cellWidth` x `cellHeight` mask with its origin (pen position on the
    // baseline) at (originX, baselineY). `hinted` snaps stems to pixels for small sizes.
    Mask glyph(char32_t code, float pixelSize, float originX, int baselineY, int cellWidth, int cellHeight,
               bool hinted);

    // A line of text with `xScale` applied to its width (1 = the face's own shapes) and
    // `tracking` extra pixels between letters, cropped to its ink plus `margin` on every side.
    struct Line {
        Mask mask{1, 1};
        int baseline = 0;  // row of the baseline in the mask
    };
    Line line(const std::string& text, float pixelSize, float xScale, float tracking, int margin);

private:
    struct Library;
    std::unique_ptr<Library> library_;
    void* face_ = nullptr;  // FT_Face; kept opaque so FreeType's headers stay in the .cpp
};
