// SPDX-License-Identifier: MIT
#include "render/snowfall.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "render/gl_base_state.h"

namespace {
constexpr float kSpinPerMs = 0.1f;  // degrees added to every angle per ms
constexpr float kRespawnY = -30;    // a flake at or below this goes back to the top
constexpr float kTopY = 60;

// Whole units from a random value, computed the way the positions always have been (in floats,
// so "whole" holds to a few millionths).
float wholeUnits(int r, int n) { return static_cast<float>(10 * (r % n)) * 0.1f; }
float degrees(int r) { return static_cast<float>(r % 360); }

// The flake quad, upright seen from +z, its vertices clockwise from +z: the front face is the -z
// side, so with back-face culling a flake shows only while its tumbling turns that side to the
// viewer. (s, t) is the texture coordinate of corner (x, y), z = 0.
struct QuadCorner {
    float s, t, x, y;
};
constexpr QuadCorner kFlakeQuad[4] = {
    {0, 1, -0.5f, 0.5f}, {1, 1, 0.5f, 0.5f}, {1, 0, 0.5f, -0.5f}, {0, 0, -0.5f, -0.5f}};

// translate(x, y, z) * rotate(angleX about x) * rotate(angleY about y) * rotate(angleZ about z) of
// one flake, as glTranslatef and glRotatef build it, applied on the CPU.
class FlakeTransform {
public:
    explicit FlakeTransform(const Flake& f) : x_(f.x), y_(f.y), z_(f.z) {
        // Radians as glRotatef takes them: the product in double, the sine and cosine in float.
        const auto radians = [](float degrees) { return static_cast<float>(degrees * std::numbers::pi / 180.0); };
        const float sx = std::sin(radians(f.angleX)), cx = std::cos(radians(f.angleX));
        const float sy = std::sin(radians(f.angleY)), cy = std::cos(radians(f.angleY));
        const float sz = std::sin(radians(f.angleZ)), cz = std::cos(radians(f.angleZ));
        // Rows of Rx * Ry * Rz.
        m_[0] = {cy * cz, -cy * sz, sy};
        m_[1] = {sx * sy * cz + cx * sz, -sx * sy * sz + cx * cz, -sx * cy};
        m_[2] = {-cx * sy * cz + sx * sz, cx * sy * sz + sx * cz, cx * cy};
    }
    // A direction turned with the flake (no translation).
    std::array<float, 3> turn(float a, float b, float c) const {
        return {m_[0][0] * a + m_[0][1] * b + m_[0][2] * c, m_[1][0] * a + m_[1][1] * b + m_[1][2] * c,
                m_[2][0] * a + m_[2][1] * b + m_[2][2] * c};
    }
    // A point (a, b, 0) of the flake quad placed in the caller's coordinates.
    std::array<float, 3> place(float a, float b) const {
        return {x_ + m_[0][0] * a + m_[0][1] * b, y_ + m_[1][0] * a + m_[1][1] * b, z_ + m_[2][0] * a + m_[2][1] * b};
    }

private:
    float x_, y_, z_;
    std::array<std::array<float, 3>, 3> m_;
};
}  // namespace

Snowfall::Snowfall() : flakes_(new Flake[kFlakeCount]()) {}

Snowfall::~Snowfall() = default;

void Snowfall::init() { flakeTexture_.loadMipmapped("data/snowflake.bmp", GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, false); }

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
    f.y = kTopY;
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
    if (f.y > kRespawnY) return false;
    respawn(f);
    return true;
}

std::size_t Snowfall::advance(float dt) {
    const float spin = dt * kSpinPerMs;
    std::size_t respawned = 0;
    for (Flake& f : flakes()) respawned += move(f, dt, spin) ? 1 : 0;
    return respawned;
}

void Snowfall::update(float dt) {
    const GlScope overlay(GlScope::Blend::additive, GlScope::depthTest);
    flakeTexture_.bind();
    // Every flake is the flake quad moved by translate(x, y, z) rotate(angleX, x) rotate(angleY, y)
    // rotate(angleZ, z). Applying that transform here and sending all flakes as one primitive draws
    // the same quads as a matrix push and a list call per flake, at a fraction of the driver work.
    // Each flake is lit as its quad's normal, facing the viewer as at start-up, turned with it:
    // whatever normal the drawing before left (a board's cubes leave one facing left), the snow
    // looks the same on every screen and before and after a game.
    constexpr GLfloat normal[3] = {0, 0, 1};
    const float spin = dt * kSpinPerMs;
    glBegin(GL_QUADS);
    glColor3f(1, 1, 1);
    for (Flake& f : flakes()) {
        const FlakeTransform t(f);
        const auto n = t.turn(normal[0], normal[1], normal[2]);
        glNormal3f(n[0], n[1], n[2]);
        for (const QuadCorner& c : kFlakeQuad) {
            const auto p = t.place(c.x, c.y);
            glTexCoord2f(c.s, c.t);
            glVertex3f(p[0], p[1], p[2]);
        }
        move(f, dt, spin);  // drawn where it was before this frame's move
    }
    glEnd();
    glNormal3fv(normal);
}
