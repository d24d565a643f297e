// SPDX-License-Identifier: MIT
#pragma once

#include "render/text_layout.h"
#include "texture/texture.h"

// The game's bitmap font: a 16 x 16 sheet of glyphs ("data/font.bmp") and one display list per
// glyph. Glyph i shows sheet column i % 16, row i / 16 counted from the top. Glyphs 0..95 are set 0
// (style false) and 128..223 set 1 (style true), each starting at the space character.
// Each glyph is a 16 x 16 quad that advances the pen by 10 units, so neighbours overlap by 6.
class Font : public Texture {
public:
    Font() = default;
    ~Font() override { releaseLists(); }

    // Loads the sheet and compiles the 256 glyph lists. Needs a current OpenGL context.
    void build();
    // Deletes the glyph lists and the sheet; a second call does nothing.
    void release() {
        releaseLists();
        Texture::release();
    }

    // Draws `text` with the lower-left corner of its first glyph at (x, y) on the 640 x 480 text
    // screen (origin bottom left), in the current colour, additively, with depth test and lighting
    // off. Restores the base state afterwards. Codes outside 32..127 are skipped and take no space,
    // so no list outside the font is ever called.
    void print(float x, float y, const char* text, bool style) const;
    void print(TextPos at, const char* text, bool style) const { print(at.x, at.y, text, style); }

    unsigned int listBase() const { return listBase_; }  // first of 256 lists; 0 = not built

private:
    void releaseLists();

    unsigned int listBase_ = 0;  // GLuint, first of 256 consecutive display lists
};
