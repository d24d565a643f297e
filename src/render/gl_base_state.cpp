// SPDX-License-Identifier: MIT
#include "render/gl_base_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

void setBaseState() {
    glClearColor(0, 0, 0, 0);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void setLights() {
    const GLfloat modelAmbient[] = {0.25f, 0.25f, 0.25f, 1};
    const GLfloat darken[] = {-0.1f, -0.1f, -0.1f, 1};
    const GLfloat diffuse[] = {0.6f, 0.6f, 0.6f, 1};
    const GLfloat below[] = {0, -5, 0, 1};
    const GLfloat above[] = {0, 5, 0, 1};
    const GLfloat spotDirection[] = {0, 0, -1};
    const GLfloat white[] = {1, 1, 1, 1};

    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
    glLightfv(GL_LIGHT0, GL_AMBIENT, darken);
    glLightfv(GL_LIGHT0, GL_SPECULAR, darken);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, below);
    glLightfv(GL_LIGHT1, GL_AMBIENT, darken);
    glLightfv(GL_LIGHT1, GL_SPECULAR, darken);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, above);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 10);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 60);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, spotDirection);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialf(GL_FRONT, GL_SHININESS, 32);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
}

void setSceneProjection(int width, int height) {
    glViewport(0, 0, width, height);
    if (height == 0) height = 1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Integer division on purpose: the whole scene is laid out for an aspect of exactly 1.
    gluPerspective(45, static_cast<GLdouble>(width / height), 0.1, 100);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glRotatef(180, 0, 0, 1);
    glScalef(-1, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

GlScope::GlScope(Blend blend, unsigned off) : blend_(blend), off_(off) {
    if (blend_ == Blend::additive) glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_BLEND);
    if (off_ & texture) glDisable(GL_TEXTURE_2D);
    if (off_ & lighting) glDisable(GL_LIGHTING);
    if (off_ & depthTest) glDisable(GL_DEPTH_TEST);
}

GlScope::~GlScope() {
    if (off_ & depthTest) glEnable(GL_DEPTH_TEST);
    if (off_ & lighting) glEnable(GL_LIGHTING);
    if (off_ & texture) glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    if (blend_ == Blend::additive) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
