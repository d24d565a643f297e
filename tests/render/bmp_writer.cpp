#include "render/bmp_writer.h"

namespace {

void put16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// Pixel bytes of one stored row (uncompressed), padded to 4 bytes.
std::string packRow(const BmpImage& im, int row) {
    std::string out;
    if (im.bits <= 8) {
        unsigned acc = 0;
        int used = 0;
        for (int x = 0; x < im.width; ++x) {
            acc = (acc << im.bits) | static_cast<unsigned>(im.index(x, row));
            used += im.bits;
            if (used == 8) {
                out += static_cast<char>(acc);
                acc = 0;
                used = 0;
            }
        }
        if (used) out += static_cast<char>(acc << (8 - used));
    } else {
        for (int x = 0; x < im.width; ++x) {
            const Rgb c = im.color(x, row);
            if (im.bits == 16) {
                put16(out, (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
            } else {
                out += static_cast<char>(c.b);
                out += static_cast<char>(c.g);
                out += static_cast<char>(c.r);
                if (im.bits == 32) out += '\0';
            }
        }
    }
    while (out.size() % 4) out += '\0';
    return out;
}

// One pixel per run: count 1, then the index (twice in the byte for RLE4).
std::string rleRow(const BmpImage& im, int row) {
    std::string out;
    for (int x = 0; x < im.width; ++x) {
        const int i = im.index(x, row);
        out += '\x01';
        out += static_cast<char>(im.bits == 4 ? (i << 4 | i) : i);
    }
    out += std::string("\0\0", 2);  // end of line
    return out;
}

}  // namespace

std::string encodeBmp(const BmpImage& im) {
    std::string pixels;
    for (int i = 0; i < im.height; ++i) {
        const int row = im.topDown ? i : im.height - 1 - i;  // file order
        pixels += im.rle ? rleRow(im, row) : packRow(im, row);
    }
    if (im.rle) pixels += std::string("\0\1", 2);  // end of bitmap

    const int headerSize = im.coreHeader ? 12 : 40;
    const int entrySize = im.coreHeader ? 3 : 4;
    const std::uint32_t offset = 14 + headerSize + static_cast<std::uint32_t>(im.palette.size()) * entrySize;
    std::string s = "BM";
    put32(s, offset + static_cast<std::uint32_t>(pixels.size()));
    put32(s, 0);
    put32(s, offset);
    put32(s, headerSize);
    if (im.coreHeader) {
        put16(s, im.width);
        put16(s, im.height);
        put16(s, 1);
        put16(s, im.bits);
    } else {
        put32(s, static_cast<std::uint32_t>(im.width));
        put32(s, static_cast<std::uint32_t>(im.topDown ? -im.height : im.height));
        put16(s, 1);
        put16(s, im.bits);
        put32(s, im.rle ? (im.bits == 8 ? 1 : 2) : 0);
        put32(s, static_cast<std::uint32_t>(pixels.size()));
        put32(s, 2835);
        put32(s, 2835);
        put32(s, static_cast<std::uint32_t>(im.palette.size()));
        put32(s, 0);
    }
    for (const Rgb& c : im.palette) {
        s += static_cast<char>(c.b);
        s += static_cast<char>(c.g);
        s += static_cast<char>(c.r);
        if (!im.coreHeader) s += '\0';
    }
    return s + pixels;
}
