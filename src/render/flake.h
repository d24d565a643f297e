// SPDX-License-Identifier: MIT
#pragma once

// One snowflake: 28 bytes of plain data, kept in one contiguous array by Snowfall.
struct Flake {
    float x = 0;          // units relative to the caller's modelview matrix; -29..29; default 0
    float y = 0;          // units; falls from 60 (or its scattered start) to -30, where it respawns
    float z = 0;          // units; -49..0
    float angleX = 0;     // degrees about x; grows by 0.1 per ms without wrapping; default 0
    float angleY = 0;     // degrees about y, applied after angleX
    float angleZ = 0;     // degrees about z, applied last
    float fallSpeed = 0;  // units per ms, 0.01 to 0.05 after scatter, up to 0.10 after respawn
};

static_assert(sizeof(Flake) == 28, "seven packed floats");
