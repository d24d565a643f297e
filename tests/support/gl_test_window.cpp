// SPDX-License-Identifier: MIT
#include "support/gl_test_window.h"

#include <GL/glu.h>
#include <SDL.h>

#include <cstdlib>

#include "render/gl_base_state.h"

bool GlTestWindow::available_ = false;

void GlTestWindow::SetUpTestSuite() {
    if (available_) return;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0) return;
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (!SDL_SetVideoMode(640, 480, 0, SDL_OPENGL)) {
        SDL_Quit();
        return;
    }
    setBaseState();
    setLights();
    setSceneProjection(640, 480);
    available_ = true;
}

void GlTestWindow::TearDownTestSuite() {}

void GlTestWindow::SetUp() {
    if (!available_) GTEST_SKIP() << "no X display with OpenGL";
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    beginFrame();
}

void GlTestWindow::beginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::array<int, 3> GlTestWindow::pixel(int x, int y) {
    unsigned char rgb[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

long GlTestWindow::brightness(int x0, int y0, int x1, int y1) {
    long sum = 0;
    const int w = x1 - x0, h = y1 - y0;
    if (w <= 0 || h <= 0) return 0;
    std::basic_string<unsigned char> buf(static_cast<size_t>(w) * h * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x0, y0, w, h, GL_RGB, GL_UNSIGNED_BYTE, buf.data());
    for (unsigned char c : buf) sum += c;
    return sum;
}

std::array<double, 2> GlTestWindow::project(double x, double y, double z) {
    GLdouble model[16], proj[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    GLdouble wx = 0, wy = 0, wz = 0;
    gluProject(x, y, z, model, proj, view, &wx, &wy, &wz);
    return {wx, wy};
}

void GlTestWindow::expectBaseState(const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint v = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &v);
    EXPECT_EQ(v, GL_LEQUAL);
    glGetIntegerv(GL_BLEND_SRC, &v);
    EXPECT_EQ(v, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &v);
    EXPECT_EQ(v, GL_ONE_MINUS_SRC_ALPHA);
    glGetIntegerv(GL_MATRIX_MODE, &v);
    EXPECT_EQ(v, GL_MODELVIEW);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &v);
    EXPECT_EQ(v, 1);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &v);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
