// SPDX-License-Identifier: MIT
#include "render/bmp_writer.h"

namespace {

// Little-endian, `bytes` long.
void put(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> 8 * i);
}

std::uint32_t bgr(Rgb c) { return c.b | c.g << 8 | c.r << 16; }

}  // namespace

std::string encodeBmp(const BmpImage& im) {
    std::string pixels;
    for (int i = 0; i < im.height; ++i) {
        const int row = im.topDown ? i : im.height - 1 - i;  // file order
        const std::size_t start = pixels.size();
        unsigned bitsInAcc = 0, acc = 0;
        for (int x = 0; x < im.width; ++x) {
            if (im.rle) {  // count 1, then the index (in both nibbles for RLE4)
                const int n = im.index(x, row);
                put(pixels, 1u | static_cast<unsigned>(im.bits == 4 ? n << 4 | n : n) << 8, 2);
            } else if (im.bits <= 8) {
                acc = acc << im.bits | static_cast<unsigned>(im.index(x, row));
                if ((bitsInAcc += im.bits) == 8) put(pixels, acc, 1), acc = bitsInAcc = 0;
            } else {
                const Rgb c = im.color(x, row);
                put(pixels, im.bits == 16 ? (c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3 : bgr(c), im.bits / 8);
            }
        }
        if (bitsInAcc) put(pixels, acc << (8 - bitsInAcc), 1);
        if (im.rle) put(pixels, 0, 2);  // end of line
        while (!im.rle && (pixels.size() - start) % 4) pixels += '\0';
    }
    if (im.rle) put(pixels, 0x0100, 2);  // end of bitmap

    const auto size = static_cast<std::uint32_t>(pixels.size());
    const auto entries = static_cast<std::uint32_t>(im.palette.size());
    const std::uint32_t offset = 14 + 40 + 4 * entries;
    const std::uint32_t compression = im.rle ? (im.bits == 8 ? 1 : 2) : 0;
    const auto u = [](int v) { return static_cast<std::uint32_t>(v); };
    std::string s = "BM";
    // File header, then the 40-byte info header: (value, bytes).
    for (auto [v, n] : {std::pair<std::uint32_t, int>{offset + size, 4},
                        {0, 4},
                        {offset, 4},
                        {40, 4},
                        {u(im.width), 4},
                        {u(im.topDown ? -im.height : im.height), 4},
                        {1, 2},
                        {u(im.bits), 2},
                        {compression, 4},
                        {size, 4},
                        {2835, 4},
                        {2835, 4},
                        {entries, 4},
                        {0, 4}})
        put(s, v, n);
    for (const Rgb& c : im.palette) put(s, bgr(c), 4);
    return s + pixels;
}
