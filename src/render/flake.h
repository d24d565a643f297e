#pragma once

// One snowflake: 28 bytes of plain data, kept in one contiguous array by Snowfall.
struct Flake {
    float x = 0;          // position relative to the modelview matrix of the drawing frame
    float y = 0;          // falls from 60 (or its scattered start) to -30, where it respawns
    float z = 0;
    float angleX = 0;     // degrees about x, then y, then z; grow by 0.1 per ms without wrapping
    float angleY = 0;
    float angleZ = 0;
    float fallSpeed = 0;  // units per ms, 0.01 to 0.05 after scatter, up to 0.10 after respawn
};

static_assert(sizeof(Flake) == 28, "seven packed floats");
