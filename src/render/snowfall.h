// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include "render/flake.h"
#include "texture/texture.h"

// The field of 1000 tumbling snowflakes behind the menus, the intro's game logo and, optionally,
// the game. Every random value comes from the C library's rand(), the same sequence that chooses
// the piece kinds, in a fixed order: scatter takes 8 per flake, a respawn 7, nothing else any.
class Snowfall {
public:
    static constexpr std::size_t kFlakeCount = 1000;

    // Allocates the flakes (all zero until scatter); no OpenGL call.
    Snowfall();
    virtual ~Snowfall();
    Snowfall(const Snowfall&) = delete;
    Snowfall& operator=(const Snowfall&) = delete;

    // Loads "data/snowflake.bmp" (white squares without it). Needs a current OpenGL context.
    void init();
    // Deletes the flake texture; the flakes stay.
    void release() { flakeTexture_.release(); }
    // Gives every flake its first random place, tilt and speed: exactly 8 rand() calls per flake.
    void scatter();
    // Draws every flake additively where it is, then moves it by `dt` milliseconds, respawning
    // those that reached y <= -30. Restores the base state.
    void update(float dt);
    // The arithmetic half of update: moves every flake without drawing. Returns how many
    // respawned (each took 7 rand() values).
    std::size_t advance(float dt);

    std::span<const Flake> flakes() const { return {flakes_.get(), kFlakeCount}; }
    std::span<Flake> flakes() { return {flakes_.get(), kFlakeCount}; }

private:
    // Moves one flake; true if it respawned at the top.
    static bool move(Flake& flake, float dt, float spin);
    static void respawn(Flake& flake);

    std::unique_ptr<Flake[]> flakes_;  // exactly kFlakeCount records, allocated once
    Texture flakeTexture_;             // "data/snowflake.bmp", light on black
};
