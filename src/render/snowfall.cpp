#include "render/snowfall.h"

#include <GL/gl.h>

#include <cstdlib>

namespace {
constexpr float spinPerMs = 0.1f;   // degrees added to every angle per ms
constexpr float respawnY = -30;     // a flake at or below this goes back to the top
constexpr float topY = 60;

// Whole units from a random value, computed the way the positions always have been (in floats,
// so "whole" holds to a few millionths).
float wholeUnits(int r, int n) { return static_cast<float>(10 * (r % n)) * 0.1f; }
float degrees(int r) { return static_cast<float>(r % 360); }
}  // namespace

Snowfall::Snowfall() : flakes_(new Flake[flakeCount]()) {}

// The display list is left alone: the game ends after the window has gone.
Snowfall::~Snowfall() = default;

void Snowfall::init() {
    flakeTexture_.loadMipmapped("data/snowflake.bmp", GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, false);
    if (flakeList_ == 0) flakeList_ = glGenLists(1);
    // Upright image seen from +z, vertices clockwise from +z: the front face is the -z side, so
    // with back-face culling a flake shows only while its tumbling turns that side to the viewer.
    glNewList(flakeList_, GL_COMPILE);
    glBegin(GL_QUADS);
    glColor3f(1, 1, 1);
    glTexCoord2f(0, 1);
    glVertex3f(-0.5f, 0.5f, 0);
    glTexCoord2f(1, 1);
    glVertex3f(0.5f, 0.5f, 0);
    glTexCoord2f(1, 0);
    glVertex3f(0.5f, -0.5f, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-0.5f, -0.5f, 0);
    glEnd();
    glEndList();
}

void Snowfall::scatter() {
    for (Flake& f : flakes()) {
        // One call per statement: the order of the rand() values is part of the behaviour.
        const int r1 = std::rand();
        const int r2 = std::rand();
        f.x = wholeUnits(r1, 30) - wholeUnits(r2, 30);
        f.y = wholeUnits(std::rand(), 60) - 20;
        f.z = -wholeUnits(std::rand(), 50);
        f.angleX = degrees(std::rand());
        f.angleY = degrees(std::rand());
        f.angleZ = degrees(std::rand());
        f.fallSpeed = static_cast<float>(std::rand() % 5 + 1) * 0.01f;
    }
}

void Snowfall::respawn(Flake& f) {
    const int r1 = std::rand();
    const int r2 = std::rand();
    f.x = wholeUnits(r1, 30) - wholeUnits(r2, 30);
    f.y = topY;
    f.z = -wholeUnits(std::rand(), 50);
    f.angleX = degrees(std::rand());
    f.angleY = degrees(std::rand());
    f.angleZ = degrees(std::rand());
    f.fallSpeed = static_cast<float>(std::rand() % 10 + 1) * 0.01f;
}

bool Snowfall::move(Flake& f, float dt, float spin) {
    f.y -= dt * f.fallSpeed;
    f.angleX += spin;
    f.angleY += spin;
    f.angleZ += spin;
    if (f.y > respawnY) return false;
    respawn(f);
    return true;
}

std::size_t Snowfall::advance(float dt) {
    const float spin = dt * spinPerMs;
    std::size_t respawned = 0;
    for (Flake& f : flakes()) respawned += move(f, dt, spin) ? 1 : 0;
    return respawned;
}

void Snowfall::update(float dt) {
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    flakeTexture_.bind();
    const float spin = dt * spinPerMs;
    for (Flake& f : flakes()) {
        glPushMatrix();
        glTranslatef(f.x, f.y, f.z);
        glRotatef(f.angleX, 1, 0, 0);
        glRotatef(f.angleY, 0, 1, 0);
        glRotatef(f.angleZ, 0, 0, 1);
        glCallList(flakeList_);
        move(f, dt, spin);  // drawn where it was before this frame's move
        glPopMatrix();
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
