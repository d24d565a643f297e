// The files in data/ that the game loads by name: every image a 24-bit uncompressed BMP with
// power-of-two sides, the font sheet's glyphs inside the columns the game's 10-pixel advance
// leaves them, and both tunes decodable at 44100 Hz, of the right length, unclipped, the
// background one looping without a jump at its seam.
#include <SDL.h>
#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
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

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

bool powerOfTwo(long v) { return v > 0 && (v & (v - 1)) == 0; }

// A decoded 24-bit BMP: grey level (the red channel) per pixel, row 0 at the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> red;
    int at(int x, int y) const { return red[static_cast<size_t>(y) * width + x]; }
};

// Checks the headers the game's loader relies on and returns the pixels; failures are reported
// against `name`.
Picture readBmp(const std::string& name) {
    Picture pic;
    const std::vector<uint8_t> b = readFile(kData + "/" + name);
    EXPECT_GE(b.size(), 54u) << name << " is missing or too short";
    if (b.size() < 54) return pic;
    EXPECT_EQ(b[0], 'B') << name;
    EXPECT_EQ(b[1], 'M') << name;
    const uint32_t offset = le32(b, 10), header = le32(b, 14);
    const int32_t width = static_cast<int32_t>(le32(b, 18)), height = static_cast<int32_t>(le32(b, 22));
    EXPECT_GE(header, 40u) << name;
    EXPECT_EQ(le16(b, 26), 1) << name << ": planes";
    EXPECT_EQ(le16(b, 28), 24) << name << ": bits per pixel";
    EXPECT_EQ(le32(b, 30), 0u) << name << ": compression (0 = none)";
    EXPECT_TRUE(powerOfTwo(width)) << name << ": width " << width;
    EXPECT_TRUE(powerOfTwo(std::labs(height))) << name << ": height " << height;
    const size_t stride = (static_cast<size_t>(std::max(width, 0)) * 3 + 3) & ~size_t{3};
    const size_t rows = static_cast<size_t>(std::labs(height));
    EXPECT_GE(b.size(), offset + stride * rows) << name << ": pixel data cut short";
    if (width <= 0 || b.size() < offset + stride * rows) return pic;
    pic.width = width;
    pic.height = static_cast<int>(rows);
    pic.red.resize(static_cast<size_t>(width) * rows);
    for (size_t y = 0; y < rows; ++y) {
        const size_t fileRow = height > 0 ? rows - 1 - y : y;  // positive height: bottom-up
        for (int x = 0; x < width; ++x) pic.red[y * width + x] = b[offset + fileRow * stride + x * 3 + 2];
    }
    return pic;
}

const char* const kImages[] = {
    "font.bmp",     "box_white.bmp",     "box_white2.bmp",  "box_white3.bmp", "box_red.bmp",
    "box_red2.bmp", "box_orange.bmp",    "box_orange2.bmp", "logo.bmp",       "presents.bmp",
    "game_logo.bmp", "merry_christmas.bmp", "snowflake.bmp",
};

TEST(DataFiles, EveryImageIsA24BitPowerOfTwoBmpOfItsSize) {
    struct Expected {
        const char* name;
        int width, height;  // 0: any power of two
    };
    const Expected images[] = {
        {"font.bmp", 256, 256},       {"box_white.bmp", 0, 0},  {"box_white2.bmp", 0, 0},
        {"box_white3.bmp", 0, 0},     {"box_red.bmp", 0, 0},    {"box_red2.bmp", 0, 0},
        {"box_orange.bmp", 0, 0},     {"box_orange2.bmp", 0, 0}, {"logo.bmp", 0, 0},
        {"presents.bmp", 0, 0},       {"game_logo.bmp", 0, 0},  {"merry_christmas.bmp", 0, 0},
        {"snowflake.bmp", 0, 0},
    };
    static_assert(std::size(images) == std::size(kImages));
    for (const Expected& e : images) {
        const Picture p = readBmp(e.name);
        if (e.width) {
            EXPECT_EQ(p.width, e.width) << e.name;
            EXPECT_EQ(p.height, e.height) << e.name;
        }
        if (std::string(e.name).rfind("box_", 0) == 0) {
            EXPECT_TRUE(p.width == p.height && (p.width == 64 || p.width == 128)) << e.name;
        }
        // Nothing is a blank picture.
        EXPECT_TRUE(std::any_of(p.red.begin(), p.red.end(), [](uint8_t v) { return v > 100; })) << e.name;
    }
}


TEST(DataFiles, SdlDecodesEveryImageTopRowFirstAsTheLoaderTakesIt) {
    // The loader hands the decoded pixels to OpenGL as BGR bytes, top row first, rows padded to
    // four bytes, without looking at the surface's format or pitch.
    for (const char* name : kImages) {
        const Picture p = readBmp(name);
        SDL_Surface* s = SDL_LoadBMP((kData + "/" + name).c_str());
        ASSERT_NE(s, nullptr) << name << ": " << SDL_GetError();
        EXPECT_EQ(s->format->BytesPerPixel, 3) << name;
        EXPECT_EQ(s->w, p.width) << name;
        EXPECT_EQ(s->h, p.height) << name;
        EXPECT_EQ(s->pitch, ((s->w * 3 + 3) / 4) * 4) << name;
        if (s->w == p.width && s->h == p.height && s->format->BytesPerPixel == 3) {
            const auto* px = static_cast<const uint8_t*>(s->pixels);
            int mismatches = 0;
            for (int y : {0, p.height / 3, p.height - 1})
                for (int x = 0; x < p.width; ++x) mismatches += px[y * s->pitch + x * 3 + 2] != p.at(x, y);
            EXPECT_EQ(mismatches, 0) << name << ": rows not in top-first order or red not third";
        }
        SDL_FreeSurface(s);
    }
}

TEST(DataFiles, PresentKindsFollowTheirNamesAndTellApart) {
    // Mean colour of the paper (a corner quarter, away from the ribbon) and of the ribbon (the
    // middle of its upper arm), per kind.
    struct Rgbf {
        double r = 0, g = 0, b = 0;
    };
    auto meanOf = [](const std::vector<uint8_t>& bmp, int x0, int y0, int x1, int y1) {
        const uint32_t offset = le32(bmp, 10);
        const int w = static_cast<int>(le32(bmp, 18)), h = static_cast<int>(le32(bmp, 22));
        const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
        Rgbf m;
        int n = 0;
        for (int y = y0 * h / 64; y < y1 * h / 64; ++y)
            for (int x = x0 * w / 64; x < x1 * w / 64; ++x) {
                const size_t at = offset + (h - 1 - y) * stride + x * 3;
                m.b += bmp[at] / 255.0;
                m.g += bmp[at + 1] / 255.0;
                m.r += bmp[at + 2] / 255.0;
                ++n;
            }
        m.r /= n;
        m.g /= n;
        m.b /= n;
        return m;
    };
    const char* names[] = {"box_white", "box_white2", "box_white3", "box_red", "box_red2", "box_orange", "box_orange2"};
    Rgbf paper[7], ribbon[7];
    for (int k = 0; k < 7; ++k) {
        const std::vector<uint8_t> bmp = readFile(kData + "/" + names[k] + ".bmp");
        ASSERT_GE(bmp.size(), 54u + 64 * 64 * 3) << names[k];
        paper[k] = meanOf(bmp, 6, 6, 22, 22);
        ribbon[k] = meanOf(bmp, 30, 6, 34, 12);
        const Rgbf& p = paper[k];
        const std::string name = names[k];
        if (name.find("white") != std::string::npos) {
            EXPECT_GT(std::min({p.r, p.g, p.b}), 0.55) << name << " is not white";
        } else if (name.find("red") != std::string::npos) {
            EXPECT_GT(p.r, 0.4) << name;
            EXPECT_GT(p.r, 2 * p.g) << name << " is not red";
            EXPECT_GT(p.r, 2 * p.b) << name << " is not red";
        } else {
            EXPECT_GT(p.r, 0.7) << name;
            EXPECT_TRUE(p.g > 0.3 * p.r && p.g < 0.85 * p.r && p.b < 0.6 * p.g) << name << " is not orange";
        }
    }
    // Every two kinds differ clearly in paper or ribbon colour.
    auto distance = [](const Rgbf& a, const Rgbf& b) { return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b); };
    for (int a = 0; a < 7; ++a)
        for (int b = a + 1; b < 7; ++b)
            EXPECT_GT(distance(paper[a], paper[b]) + distance(ribbon[a], ribbon[b]), 0.4) << names[a] << " vs " << names[b];
}

TEST(DataFiles, IconIsA256PixelPngWithTransparency) {
    const std::vector<uint8_t> png = readFile(std::string(YT_SOURCE_DIR) + "/packaging/yuletumble.png");
    ASSERT_GE(png.size(), 33u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    auto be32 = [&](size_t at) { return uint32_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3]; };
    EXPECT_EQ(be32(16), 256u);
    EXPECT_EQ(be32(20), 256u);
    EXPECT_EQ(png[24], 8);  // bits per channel
    EXPECT_EQ(png[25], 6);  // RGBA
}

TEST(DataFiles, LightOnBlackPicturesHaveBlackBorders) {
    // The banner and the snowflake are added onto the scene (the banner also repeats up the
    // glow behind it), so their edges must be black or a lit frame would show round them.
    for (const char* name : {"merry_christmas.bmp", "snowflake.bmp"}) {
        const Picture p = readBmp(name);
        int brightest = 0;
        for (int x = 0; x < p.width; ++x) brightest = std::max({brightest, p.at(x, 0), p.at(x, p.height - 1)});
        for (int y = 0; y < p.height; ++y) brightest = std::max({brightest, p.at(0, y), p.at(p.width - 1, y)});
        EXPECT_LT(brightest, 24) << name;
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
        for (int code = 33; code <= 126; ++code) {
            const int glyph = code - 32 + set * 128;
            const int cx = (glyph % 16) * 16, cy = (glyph / 16) * 16;
            int ink = 0, stray = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const int v = font.at(cx + x, cy + y);
                    ink = std::max(ink, v);
                    if (x >= 11) stray = std::max(stray, v);
                }
            EXPECT_GT(ink, 160) << "no ink for code " << code << " in set " << set;
            EXPECT_LT(stray, 8) << "code " << code << " in set " << set << " reaches past column 10";
        }
        // The space is blank in both sets.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) EXPECT_LT(font.at(x, set * 128 + y), 8);
        // Flat-bottomed letters all stand on the same row, the same in both sets.
        for (char c : std::string("BDEFHIKLMNPRTXZhiklmnrxz"))
            EXPECT_EQ(lowestRow(c - 32 + set * 128), lowestRow('H' - 32)) << "'" << c << "' in set " << set;
        // Descenders go below it.
        EXPECT_GT(lowestRow('g' - 32 + set * 128), lowestRow('H' - 32));
    }
}

// A tune decoded with the game's decoder (libmpg123, gapless): interleaved stereo samples.
struct Tune {
    long rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
    double seconds() const { return channels ? static_cast<double>(samples.size()) / channels / rate : 0; }
};

Tune decode(const std::string& name) {
    Tune tune;
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    if (!mh) return tune;
    mpg123_param2(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS, 0);
    mpg123_param2(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // 16-bit output at whatever rate the file has, so the file's own rate is what we see.
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    const std::string path = kData + "/" + name;
    if (mpg123_open(mh, path.c_str()) == MPG123_OK) {
        int encoding = 0;
        mpg123_getformat(mh, &tune.rate, &tune.channels, &encoding);
        std::vector<unsigned char> buffer(65536);
        for (;;) {
            size_t done = 0;
            const int err = mpg123_read(mh, buffer.data(), buffer.size(), &done);
            const auto* s = reinterpret_cast<const int16_t*>(buffer.data());
            tune.samples.insert(tune.samples.end(), s, s + done / 2);
            if (err != MPG123_OK) {
                EXPECT_EQ(err, MPG123_DONE) << name << ": " << mpg123_plain_strerror(err);
                break;
            }
        }
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return tune;
}

double rms(const std::vector<int16_t>& s, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count && i < s.size(); ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / std::max<size_t>(count, 1)) / 32768.0;
}

// Peak below -1 dBFS: no sample at or near full scale.
void expectHeadroom(const Tune& t, const char* name) {
    int peak = 0;
    for (int16_t v : t.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_LT(peak, static_cast<int>(32768 * std::pow(10.0, -1.0 / 20))) << name;
}

TEST(DataFiles, BackgroundTuneLoopsWithoutAGapOrAJump) {
    const Tune t = decode("background.mp3");
    ASSERT_EQ(t.rate, 44100);
    ASSERT_EQ(t.channels, 2);
    EXPECT_GE(t.seconds(), 30.0);
    EXPECT_LE(t.seconds(), 60.0);
    expectHeadroom(t, "background.mp3");
    const size_t n = t.samples.size();
    ASSERT_GT(n, 2u * 44100);
    // No encoder padding at either end: the music is already sounding in the first and last
    // 20 ms, about as loud as on the other side of the seam.
    const size_t window = 2 * 882;
    const double head = rms(t.samples, 0, window), tail = rms(t.samples, n - window, window);
    EXPECT_GT(head, 0.003);
    EXPECT_GT(tail, 0.003);
    EXPECT_LT(std::fabs(20 * std::log10(head / tail)), 12.0);
    // Across the seam each channel moves no further than it does between neighbouring samples
    // close to it.
    for (size_t ch = 0; ch < 2; ++ch) {
        int largestStep = 0;
        for (size_t i = 2 * 1; i < 2 * 2048; i += 2) {
            largestStep = std::max(largestStep, std::abs(t.samples[i + ch] - t.samples[i + ch - 2]));
            largestStep = std::max(largestStep, std::abs(t.samples[n - i + ch] - t.samples[n - i + ch - 2]));
        }
        const int seam = std::abs(t.samples[ch] - t.samples[n - 2 + ch]);
        EXPECT_LE(seam, largestStep) << "channel " << ch;
    }
}

TEST(DataFiles, FarewellTunePlaysOnceAndEndsInSilence) {
    const Tune t = decode("merry_christmas.mp3");
    ASSERT_EQ(t.rate, 44100);
    ASSERT_EQ(t.channels, 2);
    EXPECT_GE(t.seconds(), 15.0);
    EXPECT_LE(t.seconds(), 30.0);
    expectHeadroom(t, "merry_christmas.mp3");
    const size_t n = t.samples.size();
    ASSERT_GT(n, 2u * 44100);
    EXPECT_GT(rms(t.samples, n / 2, 2 * 44100), 0.03);  // music in the middle
    EXPECT_LT(rms(t.samples, n - 2 * 2205, 2 * 2205), 0.001);  // the last 50 ms have died away
}

}  // namespace
