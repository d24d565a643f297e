// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A colour with channels from 0 (dark) to 1 (full), in display (sRGB) values.
struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb mix(Rgb a, Rgb b, float t);  // t = 0 gives a, 1 gives b
Rgb scaled(Rgb c, float k);
Rgb hex(uint32_t rgb);  // 0xRRGGBB

// A picture being drawn: width x height colours, row 0 at the top.
class Image {
public:
    Image(int width, int height, Rgb fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgb& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgb& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // Paints `c` over the pixel with opacity `alpha` (0..1); pixels outside are ignored.
    void blend(int x, int y, Rgb c, float alpha);
    // Adds `c` times `amount` to the pixel (light on light), saturating at 1.
    void add(int x, int y, Rgb c, float amount);
    // Copies `other` with its top left corner at (x, y), clipped.
    void paste(const Image& other, int x, int y);

    // The picture scaled to the given size by area averaging (a box filter over the exact
    // footprint of each output pixel), so shrinking also antialiases.
    Image resampled(int width, int height) const;

    // A 24-bit uncompressed Windows BMP: BITMAPINFOHEADER, rows bottom-up, BGR, rows padded to
    // four bytes.
    std::vector<uint8_t> bmpBytes() const;
    bool writeBmp(const std::string& path) const;

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
