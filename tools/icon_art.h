// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

// The application icon: a 256 x 256 PNG with transparent corners, four wrapped presents
// stacked as a falling-block piece under a snowflake and a star on a night-blue tile.
std::vector<uint8_t> makeIconPng();
