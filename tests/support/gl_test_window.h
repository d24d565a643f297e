// SPDX-License-Identifier: MIT
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "support/temp_dir.h"

using Pixel = std::array<int, 3>;

// A real 640 x 480 OpenGL window (Xvfb in CI) set up with the game's base state, lights and
// projection as its start-up does, and a fresh working directory, so that the game's fixed data/
// names find only what a test puts there. Tests are skipped when no X display is available.
class GlTestWindow : public ::testing::Test {
public:
    static void SetUpTestSuite();
    void SetUp() override;

    // Clears colour and depth and loads the identity modelview matrix, as every game frame starts,
    // then moves `z` units away as the screens other than the game do (by -5).
    static void beginFrame(float z = 0);
    // RGB of window pixel (x, y), origin bottom left, in the frame being drawn.
    static Pixel pixel(int x, int y);
    // The pixel where the current matrices put object point (x, y, z).
    static Pixel at(double x, double y, double z = 0);
    // Runs `draw` (if any), then checks that the modelview matrix is as it found it, the scene
    // projection in place, every enable of the base state, the depth and blend functions, the
    // matrix mode and stack depths as the game's start-up leaves them, and no GL error pending.
    static void expectBaseState(const std::string& what, const std::function<void()>& draw = {});

    static inline bool available_ = false;
    static inline TempDir workDir_;  // the working directory
};
