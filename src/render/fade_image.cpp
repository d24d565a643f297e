// SPDX-License-Identifier: MIT
#include "render/fade_image.h"

#include <GL/gl.h>

#include "render/gl_base_state.h"

namespace {
constexpr float kDefaultSpeed = 0.0002f;  // alpha per ms: a 5000 ms fade
constexpr double kMsPerZoomStep = 2000;   // the scale grows by 1 every 2000 ms (0.0005 per ms)
}  // namespace

void FadeImage::init(const char* file, Mode mode, float speed) {
    loadMipmapped(file, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, false);
    mode_ = mode;
    speed_ = speed != 0 ? speed : kDefaultSpeed;
    elapsed_ = 0;
    amount_ = mode_ == Mode::zoom ? 1 : 0;
}

void FadeImage::update(float dt) {
    advance(dt);
    draw();
}

void FadeImage::advance(float dt) {
    elapsed_ += dt;
    if (mode_ == Mode::zoom)
        amount_ = static_cast<float>(1 + elapsed_ / kMsPerZoomStep);
    else
        amount_ = static_cast<float>(elapsed_) * speed_;
}

bool FadeImage::isDone() const { return mode_ == Mode::zoom ? amount_ >= 3 : amount_ >= 1; }

void FadeImage::draw() const {
    const GlScope translucent(GlScope::Blend::translucent);
    glPushMatrix();
    bind();
    float alpha = amount_;
    if (mode_ == Mode::zoom) {
        glScalef(amount_, amount_, 1);
        alpha = 1 - amount_ / 3;
    }
    glBegin(GL_QUADS);
    glColor4f(1, 1, 1, alpha);
    glTexCoord2f(0, 0);
    glVertex3f(-1, -0.5f, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, -0.5f, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, 0.5f, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, 0.5f, 0);
    glEnd();
    glPopMatrix();
}
