// SPDX-License-Identifier: MIT
#include "render/exit_banner.h"

#include <GL/gl.h>

#include "render/gl_base_state.h"

namespace {
constexpr float kStartX = 8;
constexpr double kMsPerUnit = 1000;        // the banner moves left 0.001 units per ms
constexpr double kMsPerImageHeight = 200;  // the glow scrolls 0.005 image heights per ms
}  // namespace

void ExitBanner::init() { load("data/merry_christmas.bmp", GL_LINEAR, GL_LINEAR, false); }

void ExitBanner::update(float dt) {
    advance(dt);
    draw();
}

void ExitBanner::advance(float dt) {
    elapsed_ += dt;
    x_ = static_cast<float>(kStartX - elapsed_ / kMsPerUnit);
    scroll_ = static_cast<float>(elapsed_ / kMsPerImageHeight);
}

void ExitBanner::draw() const {
    // Both quads are lit: facing the viewer, as at start-up, whatever normal the last drawing left.
    glNormal3f(0, 0, 1);
    // The glow: red, transparent at the bottom, opaque at the top, the image repeated 12 times.
    {
        const GlScope translucent(GlScope::Blend::translucent);
        glPushMatrix();
        glTranslatef(-2.25f, 7, -10);
        bind();
        glBegin(GL_QUADS);
        glColor4f(1, 0, 0, 0);
        glTexCoord2f(0, scroll_);
        glVertex2f(-4, -12);
        glTexCoord2f(1, scroll_);
        glVertex2f(4, -12);
        glColor4f(1, 0, 0, 1);
        glTexCoord2f(1, scroll_ + 12);
        glVertex2f(4, 0);
        glTexCoord2f(0, scroll_ + 12);
        glVertex2f(-4, 0);
        glEnd();
        glPopMatrix();
    }

    // The banner, added on top: black parts of the image leave the glow unchanged.
    const GlScope overlay(GlScope::Blend::additive, GlScope::depthTest);
    glPushMatrix();
    glTranslatef(x_, 0, 0);
    bind();
    glBegin(GL_QUADS);
    glColor3f(1, 1, 1);
    glTexCoord2f(0, 0);
    glVertex2f(-8, -2);
    glTexCoord2f(1, 0);
    glVertex2f(8, -2);
    glTexCoord2f(1, 1);
    glVertex2f(8, 2);
    glTexCoord2f(0, 1);
    glVertex2f(-8, 2);
    glEnd();
    glPopMatrix();
}
