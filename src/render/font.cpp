// SPDX-License-Identifier: MIT
#include "render/font.h"

#include <GL/gl.h>

namespace {

constexpr int kGlyphs = 256;
constexpr float kCell = 0.0625f;  // one sheet cell in texture units (1/16)

// Codes with a glyph in each set; anything else is skipped by print.
bool printable(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 32 && code <= 127;
}

}  // namespace

Font::~Font() {
    if (listBase_ != 0) glDeleteLists(listBase_, kGlyphs);
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
        glVertex2i(16, 0);
        glTexCoord2f(s1, tTop);
        glVertex2i(16, 16);
        glTexCoord2f(s0, tTop);
        glVertex2i(0, 16);
        glEnd();
        glTranslatef(10, 0, 0);
        glEndList();
    }
}

void Font::print(float x, float y, const char* text, bool style) const {
    bind();
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 640, 0, 480, -1, 1);
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

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
}
