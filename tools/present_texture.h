// SPDX-License-Identifier: MIT
#pragma once

#include "image.h"

// The face of a wrapped Christmas present for one of the seven piece kinds: paper in the kind's
// colour with its own pattern, a ribbon cross with a bow, and darkened edges so that
// neighbouring blocks stay apart. 64 x 64: the game draws a face about 26 x 19 pixels without
// mipmaps, so the patterns are bold rather than fine.
constexpr int kPresentKinds = 7;
constexpr int kPresentSize = 64;

// File names in kind order: box_white, box_white2, box_white3, box_red, box_red2, box_orange,
// box_orange2.
const char* presentTextureName(int kind);
// `size`: the file's 64, or larger for artwork that shows a present big.
Image makePresentTexture(int kind, int size = kPresentSize);
