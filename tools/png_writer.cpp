// SPDX-License-Identifier: MIT
#include "png_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

void putBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    putBe32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBe32(out, crc32(out.data() + start, out.size() - start));
}

// Writes bits least significant first, as deflate wants.
class BitWriter {
public:
    void bits(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            if (used_ == 0) out_.push_back(0);
            out_.back() |= static_cast<uint8_t>(((value >> i) & 1) << used_);
            used_ = (used_ + 1) % 8;
        }
    }
    // Huffman codes go most significant bit first.
    void code(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) bits((value >> i) & 1, 1);
    }
    std::vector<uint8_t> take() { return std::move(out_); }

private:
    std::vector<uint8_t> out_;
    int used_ = 0;
};

// Fixed Huffman code of a literal/length symbol (0-287).
void symbol(BitWriter& w, int s) {
    if (s < 144)
        w.code(0x30 + s, 8);
    else if (s < 256)
        w.code(0x190 + (s - 144), 9);
    else if (s < 280)
        w.code(s - 256, 7);
    else
        w.code(0xc0 + (s - 280), 8);
}

// A back-reference of `length` (3-258) bytes at distance 1.
void repeat(BitWriter& w, int length) {
    static const int base[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int extra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    int i = 28;
    while (base[i] > length) --i;
    symbol(w, 257 + i);
    w.bits(static_cast<uint32_t>(length - base[i]), extra[i]);
    w.code(0, 5);  // distance code 0: distance 1
}

std::vector<uint8_t> zlib(const std::vector<uint8_t>& data) {
    BitWriter w;
    w.bits(1, 1);  // final block
    w.bits(1, 2);  // fixed Huffman codes
    for (size_t i = 0; i < data.size();) {
        size_t run = 0;
        if (i > 0)
            while (i + run < data.size() && run < 258 && data[i + run] == data[i - 1]) ++run;
        if (run >= 3) {
            repeat(w, static_cast<int>(run));
            i += run;
        } else {
            symbol(w, data[i]);
            ++i;
        }
    }
    symbol(w, 256);  // end of block
    std::vector<uint8_t> out{0x78, 0x01};
    const std::vector<uint8_t> body = w.take();
    out.insert(out.end(), body.begin(), body.end());
    uint32_t a = 1, b = 0;
    for (uint8_t v : data) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    putBe32(out, b << 16 | a);
    return out;
}

uint8_t byteOf(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); }

}  // namespace

std::vector<uint8_t> pngBytes(const Image& image, const Mask& alpha) {
    const int w = image.width(), h = image.height();
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(h) * (1 + 4 * w));
    for (int y = 0; y < h; ++y) {
        raw.push_back(1);  // filter "Sub": each byte minus the same byte of the pixel to its left
        uint8_t prev[4] = {0, 0, 0, 0};
        for (int x = 0; x < w; ++x) {
            const float a = alpha.get(x, y);
            const Rgb& c = image.at(x, y);
            // Fully transparent pixels get a neutral colour so they compress to nothing.
            const uint8_t px[4] = {a > 0 ? byteOf(c.r) : uint8_t{0}, a > 0 ? byteOf(c.g) : uint8_t{0},
                                   a > 0 ? byteOf(c.b) : uint8_t{0}, byteOf(a)};
            for (int k = 0; k < 4; ++k) {
                raw.push_back(static_cast<uint8_t>(px[k] - prev[k]));
                prev[k] = px[k];
            }
        }
    }
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    putBe32(header, static_cast<uint32_t>(w));
    putBe32(header, static_cast<uint32_t>(h));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no interlace
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", zlib(raw));
    chunk(out, "IEND", {});
    return out;
}
