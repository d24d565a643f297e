// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Small Windows BMP files for the image tests, in the layouts a decoder meets: 1/4/8-bit palette
// (optionally run-length encoded), 16-bit 5-5-5, 24- and 32-bit, bottom-up or top-down.
struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct BmpImage {
    int width = 1;
    int height = 1;
    int bits = 24;  // 1, 4, 8, 16, 24 or 32
    bool topDown = false;
    bool rle = false;                               // RLE4 / RLE8, one pixel per run
    std::vector<Rgb> palette = {};                  // palette images
    std::function<int(int x, int row)> index = {};  // palette images: entry of (x, row from the top)
    std::function<Rgb(int x, int row)> color = {};  // direct-colour images

    // The colour pixel (x, row from the top) shows once decoded.
    Rgb at(int x, int row) const { return palette.empty() ? color(x, row) : palette[index(x, row)]; }
};

std::string encodeBmp(const BmpImage& image);
