// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

#include "image.h"
#include "mask.h"

// A PNG (8-bit RGBA, non-interlaced) of `image` with `alpha` as its opacity, compressed by a
// small deflate of our own: each row filtered by its left neighbour, runs of equal bytes coded
// as back-references, fixed Huffman codes. Enough for flat artwork such as an icon.
std::vector<uint8_t> pngBytes(const Image& image, const Mask& alpha);
