// SPDX-License-Identifier: MIT
// The 3D well: shared cube list, the session's frame and backdrop lists and block textures, and
// the drawing of blocks, pieces and the board with its optional far copy behind a grey pane.
#include "render/board_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>

#include "files/settings.h"
#include "game/block.h"
#include "game/game_session.h"
#include "game/piece.h"
#include "render/gl_base_state.h"

unsigned int cubeList = 0;

namespace {

// Block texture files, indexed by shape kind.
constexpr std::array kBlockTextureFiles{
    "data/box_white.bmp", "data/box_white2.bmp", "data/box_white3.bmp",  "data/box_red.bmp",
    "data/box_red2.bmp",  "data/box_orange.bmp", "data/box_orange2.bmp",
};
static_assert(kBlockTextureFiles.size() == Piece::kKinds, "one block texture per kind");

struct CubeVertex {
    GLfloat s, t, x, y, z;
};
struct CubeFace {
    GLfloat nx, ny, nz;
    CubeVertex v[4];
};

// Front, back, top, bottom, right, left; each counter-clockwise seen from outside.
// clang-format off
constexpr CubeFace kCubeFaces[6] = {
    {0, 0, 1, {{0, 0, -0.5f, -0.5f, 0.5f}, {1, 0, 0.5f, -0.5f, 0.5f}, {1, 1, 0.5f, 0.5f, 0.5f}, {0, 1, -0.5f, 0.5f, 0.5f}}},
    {0, 0, -1, {{1, 0, -0.5f, -0.5f, -0.5f}, {1, 1, -0.5f, 0.5f, -0.5f}, {0, 1, 0.5f, 0.5f, -0.5f}, {0, 0, 0.5f, -0.5f, -0.5f}}},
    {0, 1, 0, {{0, 1, -0.5f, 0.5f, -0.5f}, {0, 0, -0.5f, 0.5f, 0.5f}, {1, 0, 0.5f, 0.5f, 0.5f}, {1, 1, 0.5f, 0.5f, -0.5f}}},
    {0, -1, 0, {{1, 1, -0.5f, -0.5f, -0.5f}, {0, 1, 0.5f, -0.5f, -0.5f}, {0, 0, 0.5f, -0.5f, 0.5f}, {1, 0, -0.5f, -0.5f, 0.5f}}},
    {1, 0, 0, {{1, 0, 0.5f, -0.5f, -0.5f}, {1, 1, 0.5f, 0.5f, -0.5f}, {0, 1, 0.5f, 0.5f, 0.5f}, {0, 0, 0.5f, -0.5f, 0.5f}}},
    {-1, 0, 0, {{0, 0, -0.5f, -0.5f, -0.5f}, {1, 0, -0.5f, -0.5f, 0.5f}, {1, 1, -0.5f, 0.5f, 0.5f}, {0, 1, -0.5f, 0.5f, -0.5f}}},
};
// clang-format on

// One open tube of radius 0.5 and `length` along the quadric's local +z axis, placed relative to
// the matrix current when the frame list starts.
void tube(GLUquadric* quadric, GLfloat x, GLfloat y, GLfloat angle, GLfloat ax, GLfloat ay, GLdouble length) {
    if (!quadric) return;  // GLU out of memory: the well is drawn without its frame
    glPushMatrix();
    glTranslatef(x, y, 0);
    glRotatef(angle, ax, ay, 0);
    gluCylinder(quadric, 0.5, 0.5, length, 32, 1);
    glPopMatrix();
}

}  // namespace

void buildCubeList() {
    cubeList = glGenLists(1);
    glNewList(cubeList, GL_COMPILE);
    glBegin(GL_QUADS);
    glColor3f(1, 1, 1);
    for (const CubeFace& face : kCubeFaces) {
        glNormal3f(face.nx, face.ny, face.nz);
        for (const CubeVertex& v : face.v) {
            glTexCoord2f(v.s, v.t);
            glVertex3f(v.x, v.y, v.z);
        }
    }
    glEnd();
    glEndList();
}

void releaseCubeList() {
    if (cubeList != 0) glDeleteLists(cubeList, 1);
    cubeList = 0;
}

void GameSession::releaseGraphics() {
    for (Texture& texture : blockTextures_) texture.release();
    for (unsigned int* list : {&frameList_, &backdropList_}) {
        if (*list != 0) glDeleteLists(*list, 1);
        *list = 0;
    }
}

void Block::draw() const {
    glPushMatrix();
    if (texture)
        texture->bind();
    else
        glBindTexture(GL_TEXTURE_2D, 0);  // a block never laid out is drawn plain
    glTranslatef(x, y, 0);
    glCallList(cubeList);
    glPopMatrix();
}

void Piece::draw() const {
    for (const Block& block : blocks) block.draw();
}

void GameSession::initGraphics(const Settings* settings) {
    settings_ = settings;
    for (int kind = 0; kind < Piece::kKinds; ++kind)
        blockTextures_[kind].load(kBlockTextureFiles[kind], GL_LINEAR, GL_LINEAR, false);

    GLUquadric* quadric = gluNewQuadric();
    if (quadric) {
        gluQuadricNormals(quadric, GLU_SMOOTH);
        gluQuadricTexture(quadric, GL_FALSE);
    }
    frameList_ = glGenLists(1);
    glNewList(frameList_, GL_COMPILE);
    glColor4f(1, 1, 1, 0.5f);
    tube(quadric, -1, 22, 90, 1, 0, 22);     // left post, down to row 0
    tube(quadric, 11, 22, 90, 1, 0, 22);     // right post
    tube(quadric, -1, -0.5f, 90, 0, 1, 12);  // bottom bar along the floor of row 0
    glEndList();
    gluDeleteQuadric(quadric);

    backdropList_ = glGenLists(1);
    glNewList(backdropList_, GL_COMPILE);
    glBegin(GL_QUADS);
    glColor4f(0.5f, 0.5f, 0.5f, 0.75f);
    glVertex3f(-1, -1, 0);
    glVertex3f(12, -1, 0);
    glVertex3f(12, 23, 0);
    glVertex3f(-1, 23, 0);
    glEnd();
    glEndList();
}

void GameSession::drawBlocksAndFrame() const {
    {
        const GlScope translucent(GlScope::Blend::translucent, GlScope::texture);
        glPushMatrix();
        glCallList(frameList_);
        glPopMatrix();
    }

    for (const Block& block : settled_) block.draw();
    current_.draw();
}

void GameSession::drawBoard(float) {
    // Read every frame, so the options menu takes effect on the next one.
    const bool reflection = settings_ && settings_->reflection;

    glPushMatrix();
    glTranslatef(-8, -11, -50);
    if (reflection) drawBlocksAndFrame();  // the far copy, 20 units behind the board
    glTranslatef(0, 0, 10);
    if (reflection) {
        // The grey pane between the far copy and the board, lit with the far copy's last normal.
        const GlScope translucent(GlScope::Blend::translucent, GlScope::texture);
        glCallList(backdropList_);
    }
    glTranslatef(-2, 0, 10);
    drawBlocksAndFrame();  // the board: its origin at eye (-10, -11, -30)
    glPopMatrix();
}
