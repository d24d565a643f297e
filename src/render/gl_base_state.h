// SPDX-License-Identifier: MIT
#pragma once

// The OpenGL state every drawing operation starts from and restores:
// texturing, depth test (GL_LEQUAL), back-face culling, lighting with lights 0 and 1 and colour
// material on; blending off with GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA; matrix mode GL_MODELVIEW.

// Clear colour, shading, depth, hints, enables and blend function of the base state.
void setBaseState();
// The two lights (negative ambient and specular: they darken) and the material. Call with the
// identity modelview matrix: the positions are fixed in eye space.
void setLights();
// Viewport, the 45-degree projection with the integer aspect ratio (1 for 640 x 480), and the
// texture matrix that maps (s, t) to (s, -t). Leaves GL_MODELVIEW current with the identity.
void setSceneProjection(int width, int height);
