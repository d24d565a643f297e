// SPDX-License-Identifier: MIT
#include "image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

Rgb mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Rgb scaled(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }

Rgb hex(uint32_t rgb) {
    const auto channel = [rgb](int shift) { return static_cast<float>((rgb >> shift) & 0xff) / 255.0f; };
    return {channel(16), channel(8), channel(0)};
}

Image::Image(int width, int height, Rgb fill)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), pixels_(static_cast<size_t>(width_) * height_, fill) {}

void Image::blend(int x, int y, Rgb c, float alpha) {
    if (!contains(x, y) || alpha <= 0) return;
    Rgb& p = at(x, y);
    p = mix(p, c, std::min(alpha, 1.0f));
}

void Image::add(int x, int y, Rgb c, float amount) {
    if (!contains(x, y) || amount <= 0) return;
    Rgb& p = at(x, y);
    p.r = std::min(1.0f, p.r + c.r * amount);
    p.g = std::min(1.0f, p.g + c.g * amount);
    p.b = std::min(1.0f, p.b + c.b * amount);
}

void Image::paste(const Image& other, int x0, int y0) {
    for (int y = 0; y < other.height(); ++y)
        for (int x = 0; x < other.width(); ++x)
            if (contains(x0 + x, y0 + y)) at(x0 + x, y0 + y) = other.at(x, y);
}

namespace {

// Weights of the source pixels under each output pixel along one axis: output pixel i covers
// source interval [i * ratio, (i + 1) * ratio).
struct Tap {
    int first;
    std::vector<float> weights;
};

std::vector<Tap> boxTaps(int from, int to) {
    std::vector<Tap> taps(static_cast<size_t>(to));
    const double ratio = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double a = i * ratio, b = (i + 1) * ratio;
        Tap& tap = taps[static_cast<size_t>(i)];
        tap.first = static_cast<int>(std::floor(a));
        const int last = std::min(from - 1, static_cast<int>(std::ceil(b)) - 1);
        for (int s = tap.first; s <= last; ++s) {
            const double lo = std::max(a, static_cast<double>(s));
            const double hi = std::min(b, static_cast<double>(s + 1));
            tap.weights.push_back(static_cast<float>((hi - lo) / ratio));
        }
    }
    return taps;
}

}  // namespace

Image Image::resampled(int width, int height) const {
    // Horizontal pass, then vertical: separable box filter.
    const std::vector<Tap> tx = boxTaps(width_, width);
    Image mid(width, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb sum;
            const Tap& t = tx[static_cast<size_t>(x)];
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const Rgb& p = at(t.first + static_cast<int>(k), y);
                sum.r += p.r * t.weights[k];
                sum.g += p.g * t.weights[k];
                sum.b += p.b * t.weights[k];
            }
            mid.at(x, y) = sum;
        }
    const std::vector<Tap> ty = boxTaps(height_, height);
    Image out(width, height);
    for (int y = 0; y < height; ++y) {
        const Tap& t = ty[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            Rgb sum;
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const Rgb& p = mid.at(x, t.first + static_cast<int>(k));
                sum.r += p.r * t.weights[k];
                sum.g += p.g * t.weights[k];
                sum.b += p.b * t.weights[k];
            }
            out.at(x, y) = sum;
        }
    }
    return out;
}

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

uint8_t toByte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

std::vector<uint8_t> Image::bmpBytes() const {
    const uint32_t stride = (static_cast<uint32_t>(width_) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * static_cast<uint32_t>(height_);
    std::vector<uint8_t> out;
    out.reserve(54 + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + dataSize);  // file size
    put32(out, 0);              // reserved
    put32(out, 54);             // offset of the pixels
    put32(out, 40);             // BITMAPINFOHEADER
    put32(out, static_cast<uint32_t>(width_));
    put32(out, static_cast<uint32_t>(height_));  // positive: bottom-up rows
    put16(out, 1);                               // planes
    put16(out, 24);                              // bits per pixel
    put32(out, 0);                               // BI_RGB, uncompressed
    put32(out, dataSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = height_ - 1; y >= 0; --y) {
        size_t row = out.size();
        for (int x = 0; x < width_; ++x) {
            const Rgb& p = at(x, y);
            out.push_back(toByte(p.b));
            out.push_back(toByte(p.g));
            out.push_back(toByte(p.r));
        }
        while (out.size() - row < stride) out.push_back(0);
    }
    return out;
}

bool Image::writeBmp(const std::string& path) const { return writeFile(path, bmpBytes()); }

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
