// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mixdown.h"

// Encodes a mixdown as a 44100 Hz joint-stereo MP3 with LAME at a constant bit rate. The first
// frame carries LAME's information tag with the encoder delay and padding, so a gapless decoder
// returns exactly the mixdown's frames: nothing added at the start or the end.
// Returns an empty vector if LAME fails.
std::vector<uint8_t> encodeMp3(const Mixdown& mix, int kilobitsPerSecond);
