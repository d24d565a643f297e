// SPDX-License-Identifier: MIT
#include "support/gl_test_window.h"

#include <GL/glu.h>
#include <SDL.h>
#include <unistd.h>

#include <cstdlib>

#include "render/gl_base_state.h"

static std::array<GLfloat, 16> sceneProjection;

void GlTestWindow::SetUpTestSuite() {
    const char* display = std::getenv("DISPLAY");
    if (available_ || !display || !*display || chdir(workDir_.path().c_str()) != 0) return;
    // SDL drops a pad's presses while its window lacks the keyboard focus, which another test's new
    // window can take: the pad tests read the pad whatever has the focus.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0 || !SDL_SetVideoMode(640, 480, 0, SDL_OPENGL)) return;
    setBaseState();
    setLights();
    setSceneProjection(640, 480);
    glGetFloatv(GL_PROJECTION_MATRIX, sceneProjection.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows read back are not padded
    available_ = true;
}

void GlTestWindow::SetUp() {
    if (!available_) GTEST_SKIP() << "no X display with OpenGL";
    beginFrame();
}

void GlTestWindow::beginFrame(float z) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, z);
}

Pixel GlTestWindow::pixel(int x, int y) {
    unsigned char rgb[3] = {0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

Pixel GlTestWindow::at(double x, double y, double z) {
    GLdouble model[16], proj[16], wx = 0, wy = 0, wz = 0;
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    gluProject(x, y, z, model, proj, view, &wx, &wy, &wz);
    return pixel(static_cast<int>(wx), static_cast<int>(wy));
}

void GlTestWindow::expectBaseState(const std::string& what, const std::function<void()>& draw) {
    SCOPED_TRACE(what);
    std::array<GLfloat, 16> before{}, after{}, projection{};
    glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
    if (draw) draw();
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    EXPECT_EQ(std::pair(after, projection), std::pair(before, sceneProjection)) << "modelview, projection matrix";
    // The enables, then the depth and blend functions, the matrix mode and the stack depths.
    std::vector<GLint> state;
    for (GLenum name : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING, GL_LIGHT0, GL_LIGHT1,
                        GL_COLOR_MATERIAL, GL_BLEND, GL_DEPTH_FUNC, GL_BLEND_SRC, GL_BLEND_DST, GL_MATRIX_MODE,
                        GL_MODELVIEW_STACK_DEPTH, GL_PROJECTION_STACK_DEPTH})
        glGetIntegerv(name, &state.emplace_back());
    EXPECT_EQ(state, (std::vector<GLint>{1, 1, 1, 1, 1, 1, 1, 0, GL_LEQUAL, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                                         GL_MODELVIEW, 1, 1}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
