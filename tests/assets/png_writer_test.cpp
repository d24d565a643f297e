// The icon's PNG writer: what it writes inflates with zlib and unfilters to the very pixels and
// opacities it was given, with valid chunk checksums.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>

#include "image.h"
#include "mask.h"
#include "png_writer.h"

namespace {

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

void fillSolid(Mask& m) {
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x) m.at(x, y) = 1;
}

TEST(GeneratorPng, RoundTripsThroughZlib) {
    // Flat areas (long runs), a gradient (no runs) and every opacity from clear to solid.
    const int w = 300, h = 7;
    Image img(w, h);
    Mask alpha(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            img.at(x, y) = x < 150 ? Rgb{0.2f, 0.4f, 0.6f} : Rgb{(x % 37) / 36.0f, y / 6.0f, ((x * 7) % 256) / 255.0f};
            alpha.at(x, y) = x < 20 ? 0.0f : (x % 256) / 255.0f;
        }
    const std::vector<uint8_t> png = pngBytes(img, alpha);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[0], 0x89);

    std::vector<uint8_t> idat;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t len = be32(png, at);
        ASSERT_LE(at + 12 + len, png.size());
        const std::string type(png.begin() + static_cast<long>(at) + 4, png.begin() + static_cast<long>(at) + 8);
        EXPECT_EQ(crc32(0, png.data() + at + 4, len + 4), be32(png, at + 8 + len)) << type;
        if (type == "IHDR") {
            EXPECT_EQ(be32(png, at + 8), static_cast<uint32_t>(w));
            EXPECT_EQ(be32(png, at + 12), static_cast<uint32_t>(h));
        }
        if (type == "IDAT") idat.insert(idat.end(), png.begin() + static_cast<long>(at) + 8, png.begin() + static_cast<long>(at + 8 + len));
        at += 12 + len;
    }
    std::vector<uint8_t> raw(static_cast<size_t>(h) * (1 + 4 * w));
    uLongf size = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &size, idat.data(), idat.size()), Z_OK);
    ASSERT_EQ(size, raw.size());
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = raw.data() + static_cast<size_t>(y) * (1 + 4 * w);
        ASSERT_EQ(row[0], 1);  // "Sub" filter
        uint8_t prev[4] = {0, 0, 0, 0};
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 4; ++k) {
                const uint8_t v = static_cast<uint8_t>(row[1 + 4 * x + k] + prev[k]);
                prev[k] = v;
                const float a = alpha.get(x, y);
                const float want = k == 3 ? a : a > 0 ? (k == 0 ? img.at(x, y).r : k == 1 ? img.at(x, y).g : img.at(x, y).b) : 0;
                ASSERT_EQ(v, std::lround(want * 255)) << x << "," << y << " channel " << k;
            }
    }
    // Flat artwork compresses to a small part of its raw size.
    Mask solid(64, 64);
    fillSolid(solid);
    EXPECT_LT(pngBytes(Image(64, 64, {0.8f, 0.1f, 0.1f}), solid).size(), 64u * 64 * 4 / 10);
}

}  // namespace
