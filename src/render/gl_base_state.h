// SPDX-License-Identifier: MIT
#pragma once

// The OpenGL state every drawing operation starts from and restores:
// texturing, depth test (GL_LEQUAL), back-face culling, lighting with lights 0 and 1 and colour
// material on; blending off with GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA; matrix mode GL_MODELVIEW.
// Drawings that need blending leave it only through a GlScope.

// Clear colour, shading, depth, hints, enables and blend function of the base state.
void setBaseState();
// The two lights (negative ambient and specular: they darken) and the material. Call with the
// identity modelview matrix: the positions are fixed in eye space.
void setLights();
// Viewport, the 45-degree projection with the integer aspect ratio (1 for 640 x 480), and the
// texture matrix that maps (s, t) to (s, -t). Leaves GL_MODELVIEW current with the identity.
void setSceneProjection(int width, int height);

// One drawing's way out of the base state and back: blending on, translucent (the base state's
// blend function) or additive (light on dark: text, snow, the farewell banner), and optionally
// texturing, lighting or the depth test off. The base state returns when the scope ends.
class GlScope {
public:
    enum class Blend { translucent, additive };
    // Parts of the base state that the scope switches off, or-ed together.
    enum Off : unsigned { none = 0, texture = 1, lighting = 2, depthTest = 4 };

    explicit GlScope(Blend blend, unsigned off = none);
    ~GlScope();
    GlScope(const GlScope&) = delete;
    GlScope& operator=(const GlScope&) = delete;

private:
    Blend blend_;   // how colours are blended inside the scope
    unsigned off_;  // the Off bits switched off inside the scope
};
