// SPDX-License-Identifier: MIT
// The files in data/ that the game loads by name: every image a 24-bit uncompressed BMP with
// power-of-two sides, the font sheet's glyphs inside the columns the game's 10-pixel advance
// leaves them, and both tunes decodable at 44100 Hz, of the right length, unclipped, the
// background one looping without a jump at its seam.
#include <SDL.h>
#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kData = YT_DATA_DIR;

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Little-endian unsigned integer of `bytes` bytes.
uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes = 4) {
    uint32_t v = 0;
    for (int i = bytes; i-- > 0;) v = v << 8 | b[at + i];
    return v;
}

// A decoded 24-bit BMP, row 0 at the top, BGR bytes as in the file.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;
    int at(int x, int y, int channel = 2) const { return bgr[(static_cast<size_t>(y) * width + x) * 3 + channel]; }
};

// Checks the headers the game's loader relies on and returns the pixels.
Picture readBmp(const std::string& name) {
    Picture pic;
    const std::vector<uint8_t> b = readFile(kData + "/" + name);
    if (b.size() < 54) {
        ADD_FAILURE() << name << " is missing or too short";
        return pic;
    }
    const auto width = static_cast<int32_t>(le(b, 18)), height = static_cast<int32_t>(le(b, 22));
    const auto powerOfTwo = [](long v) { return v > 0 && (v & (v - 1)) == 0; };
    EXPECT_TRUE(b[0] == 'B' && b[1] == 'M' && le(b, 14) >= 40 && le(b, 26, 2) == 1) << name << ": not a BMP";
    EXPECT_EQ(le(b, 28, 2), 24u) << name << ": bits per pixel";
    EXPECT_EQ(le(b, 30), 0u) << name << ": compression (0 = none)";
    EXPECT_TRUE(powerOfTwo(width) && powerOfTwo(std::labs(height))) << name << ": " << width << " x " << height;
    const size_t stride = (static_cast<size_t>(std::max(width, 0)) * 3 + 3) & ~size_t{3};
    const size_t rows = static_cast<size_t>(std::labs(height)), offset = le(b, 10);
    if (width <= 0 || b.size() < offset + stride * rows) {
        ADD_FAILURE() << name << ": pixel data cut short";
        return pic;
    }
    pic.width = width;
    pic.height = static_cast<int>(rows);
    for (size_t y = 0; y < rows; ++y) {
        const auto row = b.begin() + static_cast<long>(offset + (height > 0 ? rows - 1 - y : y) *
                                                                    stride);  // positive height: bottom-up
        pic.bgr.insert(pic.bgr.end(), row, row + 3L * width);
    }
    return pic;
}

TEST(DataFiles, EveryImageIsA24BitPowerOfTwoBmpAsTheLoaderTakesIt) {
    struct Expected {
        const char* name;
        int side;           // 0: any power of two; -1: a present, 64 or 128 square
        bool lightOnBlack;  // added onto the scene: the border must be black or a frame would show
    };
    const Expected images[] = {
        {"font.bmp", 256, false},      {"box_white.bmp", -1, false},   {"box_white2.bmp", -1, false},
        {"box_white3.bmp", -1, false}, {"box_red.bmp", -1, false},     {"box_red2.bmp", -1, false},
        {"box_orange.bmp", -1, false}, {"box_orange2.bmp", -1, false}, {"logo.bmp", 0, false},
        {"presents.bmp", 0, false},    {"game_logo.bmp", 0, false},    {"merry_christmas.bmp", 0, true},
        {"snowflake.bmp", 0, true},
    };
    for (const Expected& e : images) {
        const Picture p = readBmp(e.name);
        EXPECT_TRUE(e.side <= 0 || (p.width == e.side && p.height == e.side)) << e.name;
        EXPECT_TRUE(e.side >= 0 || (p.width == p.height && (p.width == 64 || p.width == 128))) << e.name;
        EXPECT_TRUE(std::any_of(p.bgr.begin(), p.bgr.end(), [](uint8_t v) { return v > 100; }))
            << e.name << " is blank";
        int border = 0;
        for (int x = 0; x < p.width; ++x) border = std::max({border, p.at(x, 0), p.at(x, p.height - 1)});
        for (int y = 0; y < p.height; ++y) border = std::max({border, p.at(0, y), p.at(p.width - 1, y)});
        EXPECT_TRUE(!e.lightOnBlack || border < 24) << e.name << ": lit border " << border;

        // The loader hands SDL's pixels to OpenGL as BGR bytes, rows padded to four bytes, without
        // looking at the surface's format or pitch.
        SDL_Surface* s = SDL_LoadBMP((kData + "/" + e.name).c_str());
        ASSERT_NE(s, nullptr) << e.name << ": " << SDL_GetError();
        EXPECT_TRUE(s->format->BytesPerPixel == 3 && s->w == p.width && s->h == p.height &&
                    s->pitch == (s->w * 3 + 3) / 4 * 4)
            << e.name << ": SDL decodes it in another layout";
        SDL_FreeSurface(s);
    }
}

TEST(DataFiles, PresentKindsFollowTheirNamesAndTellApart) {
    const std::string names[] = {"box_white", "box_white2", "box_white3", "box_red",
                                 "box_red2",  "box_orange", "box_orange2"};
    // Per kind, mean red, green, blue (0..1) of the paper (a corner clear of the ribbon), then of
    // the ribbon (the middle of its upper arm); areas in 64ths of the picture.
    std::array<double, 6> look[7] = {};
    for (int k = 0; k < 7; ++k) {
        const Picture p = readBmp(names[k] + ".bmp");
        ASSERT_GE(p.width, 64) << names[k];
        for (int i = 0; i < 6; ++i) {
            const int x0 = i < 3 ? 6 : 30, x1 = i < 3 ? 22 : 34, y1 = i < 3 ? 22 : 12;
            for (int y = 6; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    look[k][i] += p.at(x * p.width / 64, y * p.height / 64, 2 - i % 3) / 255.0 / ((x1 - x0) * (y1 - 6));
        }
        const double r = look[k][0], g = look[k][1], b = look[k][2];
        if (names[k].find("white") != std::string::npos)
            EXPECT_GT(std::min({r, g, b}), 0.55) << names[k] << " is not white";
        else if (names[k].find("red") != std::string::npos)
            EXPECT_TRUE(r > 0.4 && r > 2 * g && r > 2 * b) << names[k] << " is not red";
        else
            EXPECT_TRUE(r > 0.7 && g > 0.3 * r && g < 0.85 * r && b < 0.6 * g) << names[k] << " is not orange";
    }
    for (int a = 0; a < 7; ++a)
        for (int b = a + 1; b < 7; ++b) {
            double distance = 0;
            for (int i = 0; i < 6; ++i) distance += std::fabs(look[a][i] - look[b][i]);
            EXPECT_GT(distance, 0.4) << names[a] << " vs " << names[b];
        }
}

TEST(DataFiles, FontGlyphsHaveInkInsideTheirColumnsOnOneBaseline) {
    const Picture font = readBmp("font.bmp");
    ASSERT_EQ(font.width, 256);
    // The lowest strongly inked row of a glyph cell, or -1.
    auto lowestRow = [&](int glyph) {
        for (int y = 15; y >= 0; --y)
            for (int x = 0; x < 16; ++x)
                if (font.at((glyph % 16) * 16 + x, (glyph / 16) * 16 + y) > 128) return y;
        return -1;
    };
    for (int set = 0; set < 2; ++set) {
        for (int code = 32; code <= 126; ++code) {
            const int glyph = code - 32 + set * 128;
            int ink = 0, stray = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const int v = font.at((glyph % 16) * 16 + x, (glyph / 16) * 16 + y);
                    ink = std::max(ink, v);
                    if (x >= 11) stray = std::max(stray, v);
                }
            if (code == 32)
                EXPECT_LT(ink, 8) << "the space is not blank in set " << set;
            else
                EXPECT_GT(ink, 160) << "no ink for code " << code << " in set " << set;
            EXPECT_LT(stray, 8) << "code " << code << " in set " << set << " reaches past column 10";
        }
        // Flat-bottomed letters all stand on the same row in both sets; descenders go below it.
        for (char c : std::string("BDEFHIKLMNPRTXZhiklmnrxz"))
            EXPECT_EQ(lowestRow(c - 32 + set * 128), lowestRow('H' - 32)) << "'" << c << "' in set " << set;
        EXPECT_GT(lowestRow('g' - 32 + set * 128), lowestRow('H' - 32));
    }
}

// A tune decoded with the game's decoder (libmpg123, gapless) into interleaved 16-bit samples.
std::vector<int16_t> decode(const std::string& name, long& rate, int& channels) {
    std::vector<int16_t> samples;
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    mpg123_param2(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    int encoding = 0, err = mpg123_open(mh, (kData + "/" + name).c_str());
    mpg123_getformat(mh, &rate, &channels, &encoding);  // the file's own rate and channels
    EXPECT_EQ(encoding, MPG123_ENC_SIGNED_16) << name;
    std::vector<unsigned char> buffer(65536);
    for (size_t done = 0; err == MPG123_OK;) {
        err = mpg123_read(mh, buffer.data(), buffer.size(), &done);
        const auto* s = reinterpret_cast<const int16_t*>(buffer.data());
        samples.insert(samples.end(), s, s + done / 2);
    }
    EXPECT_EQ(err, MPG123_DONE) << name << ": " << mpg123_plain_strerror(err);
    mpg123_delete(mh);
    return samples;
}

double rms(const std::vector<int16_t>& s, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count && i < s.size(); ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / std::max<size_t>(count, 1)) / 32768.0;
}

TEST(DataFiles, TunesDecodeAtTheirLengthUnclippedAndEndAsTheyShould) {
    struct Expected {
        const char* name;
        double minSeconds, maxSeconds;
        bool loops;
    };
    for (const Expected e :
         {Expected{"background.mp3", 30, 60, true}, Expected{"merry_christmas.mp3", 15, 30, false}}) {
        long rate = 0;
        int channels = 0;
        const std::vector<int16_t> t = decode(e.name, rate, channels);
        ASSERT_TRUE(rate == 44100 && channels == 2) << e.name << ": " << rate << " Hz, " << channels << " channels";
        const size_t n = t.size();
        EXPECT_GE(n / 2.0 / rate, e.minSeconds) << e.name;
        EXPECT_LE(n / 2.0 / rate, e.maxSeconds) << e.name;
        ASSERT_GT(n, 2u * 44100);
        int peak = 0;
        for (int16_t v : t) peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_LT(peak, static_cast<int>(32768 * std::pow(10.0, -1.0 / 20))) << e.name << ": peak above -1 dBFS";
        if (!e.loops) {
            EXPECT_GT(rms(t, n / 2, 2 * 44100), 0.03) << e.name << ": no music in the middle";
            EXPECT_LT(rms(t, n - 2 * 2205, 2 * 2205), 0.001) << e.name << ": the last 50 ms have not died away";
            continue;
        }
        // No encoder padding at either end: the music already sounds in the first and last 20 ms,
        // about as loud as on the other side of the seam.
        const double head = rms(t, 0, 2 * 882), tail = rms(t, n - 2 * 882, 2 * 882);
        EXPECT_TRUE(head > 0.003 && tail > 0.003) << e.name << ": silence at an end";
        EXPECT_LT(std::fabs(20 * std::log10(head / tail)), 12.0) << e.name;
        // Across the seam each channel moves no further than between neighbouring samples near it.
        for (size_t ch = 0; ch < 2; ++ch) {
            int largestStep = 0;
            for (size_t i = 2; i < 2 * 2048; i += 2)
                largestStep = std::max(
                    {largestStep, std::abs(t[i + ch] - t[i + ch - 2]), std::abs(t[n - i + ch] - t[n - i + ch - 2])});
            EXPECT_LE(std::abs(t[ch] - t[n - 2 + ch]), largestStep) << e.name << " channel " << ch;
        }
    }
}

}  // namespace
