// SPDX-License-Identifier: MIT
#include "render/font.h"

#include <GL/gl.h>

#include "render/gl_base_state.h"
#include "render/text_layout.h"

namespace {

constexpr int kGlyphs = 256;
constexpr float kCell = 0.0625f;                                   // one sheet cell in texture units (1/16)
constexpr int kQuad = static_cast<int>(textLayout::kGlyphHeight);  // a glyph's quad, text units square

// Codes with a glyph in each set; anything else is skipped by print.
bool printable(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 32 && code <= 127;
}

}  // namespace

void Font::releaseLists() {
    if (listBase_ != 0) glDeleteLists(listBase_, kGlyphs);
    listBase_ = 0;
}

void Font::build() {
    load("data/font.bmp", GL_LINEAR, GL_LINEAR, false);
    listBase_ = glGenLists(kGlyphs);
    bind();
    for (int i = 0; i < kGlyphs; ++i) {
        const float s0 = static_cast<float>(i % 16) * kCell;
        const float s1 = s0 + kCell;
        const float tTop = 1 - static_cast<float>(i / 16) * kCell;
        const float tBottom = tTop - kCell;
        glNewList(listBase_ + i, GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(s0, tBottom);
        glVertex2i(0, 0);
        glTexCoord2f(s1, tBottom);
        glVertex2i(kQuad, 0);
        glTexCoord2f(s1, tTop);
        glVertex2i(kQuad, kQuad);
        glTexCoord2f(s0, tTop);
        glVertex2i(0, kQuad);
        glEnd();
        glTranslatef(textLayout::kGlyphStep, 0, 0);
        glEndList();
    }
}

void Font::print(float x, float y, const char* text, bool style) const {
    const GlScope overlay(GlScope::Blend::additive, GlScope::lighting | GlScope::depthTest);
    bind();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, textLayout::kScreenWidth, 0, textLayout::kScreenHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x, y, 0);

    // Code c calls list base + c: c - 32 in set 0, c + 96 in set 1.
    glListBase(listBase_ - 32 + (style ? 128 : 0));
    // One call per run of printable codes; other codes are skipped (they take no space), so no
    // list outside the font's 256 is ever called.
    if (text) {
        const char* p = text;
        while (*p) {
            while (*p && !printable(*p)) ++p;
            const char* run = p;
            while (printable(*p)) ++p;
            if (p > run) glCallLists(static_cast<GLsizei>(p - run), GL_BYTE, run);
        }
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
