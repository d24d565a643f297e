// SPDX-License-Identifier: MIT
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

// A real 640 x 480 OpenGL window (Xvfb in CI) for the GL tests, set up with the game's base
// state, lights and projection exactly as the game's start-up does. Tests are skipped when no X
// display is available.
class GlTestWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // Clears colour and depth and loads the identity modelview matrix, as every game frame starts.
    static void beginFrame();
    // RGB of the pixel at window coordinates (x, y), origin bottom left, read from the frame being
    // drawn (the current read buffer: sdl12-compat draws into its own framebuffer object).
    static std::array<int, 3> pixel(int x, int y);
    // Sum of R+G+B over a rectangle; 0 means nothing was drawn there on the black clear colour.
    static long brightness(int x0, int y0, int x1, int y1);
    // Where the current modelview and projection put object point (x, y, z) in window pixels.
    static std::array<double, 2> project(double x, double y, double z);
    // Checks every piece of the base state (enables, depth func, blend func, matrix mode, stack
    // depths back at 1) and that no GL error is pending; `what` names the call in failures.
    static void expectBaseState(const std::string& what);

    static bool available_;
};
