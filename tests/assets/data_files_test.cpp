// SPDX-License-Identifier: MIT
// The files in data/ that the game loads by name: every image a 24-bit BMP with power-of-two sides
// as the loader takes it, the font's glyphs inside the columns its 10-pixel advance leaves them,
// and both tunes decodable at 44100 Hz stereo, of the right length, unclipped, the background one
// looping without a gap or a jump at its seam.
#include <SDL.h>
#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string kData = YT_DATA_DIR "/";

// The brightest red in the w x h pixels from (x0, y0) on of a 24-bit surface, row 0 at the top.
int maxRed(const SDL_Surface* s, int x0, int y0, int w, int h) {
    int m = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            m = std::max<int>(m, static_cast<const Uint8*>(s->pixels)[y * s->pitch + x * 3 + 2]);
    return m;
}

TEST(DataFiles, EveryImageIsA24BitPowerOfTwoBmpAndTheFontKeepsToItsColumns) {
    const auto powerOfTwo = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
    for (const char* name : {"font.bmp", "box_white.bmp", "box_white2.bmp", "box_white3.bmp", "box_red.bmp",
                             "box_red2.bmp", "box_orange.bmp", "box_orange2.bmp", "logo.bmp", "presents.bmp",
                             "game_logo.bmp", "merry_christmas.bmp", "snowflake.bmp"}) {
        SDL_Surface* s = SDL_LoadBMP((kData + name).c_str());
        ASSERT_NE(s, nullptr) << name << ": " << SDL_GetError();
        // The loader hands these pixels to OpenGL as BGR rows padded to four bytes.
        EXPECT_EQ(std::tuple(s->format->BitsPerPixel, s->format->Rmask, s->pitch),
                  std::tuple(Uint8{24}, Uint32{0xFF0000}, (s->w * 3 + 3) / 4 * 4))
            << name;
        EXPECT_TRUE(powerOfTwo(s->w) && powerOfTwo(s->h)) << name << ": " << s->w << " x " << s->h;
        EXPECT_GT(maxRed(s, 0, 0, s->w, s->h), 100) << name << " is blank";
        // Added onto the scene: a lit border would show as a frame.
        const int border = std::max({maxRed(s, 0, 0, s->w, 1), maxRed(s, 0, s->h - 1, s->w, 1),
                                     maxRed(s, 0, 0, 1, s->h), maxRed(s, s->w - 1, 0, 1, s->h)});
        const bool added = std::string(name) == "snowflake.bmp" || std::string(name) == "merry_christmas.bmp";
        EXPECT_TRUE(!added || border < 24) << name << ": lit border " << border;
        if (std::string(name) == "font.bmp") {
            ASSERT_EQ(std::pair(s->w, s->h), std::pair(256, 256));
            for (int glyph : {0, 1, 33, 94, 128, 129, 161, 222}) {  // space, "!", "A", "~" in both sets
                const int x = glyph % 16 * 16, y = glyph / 16 * 16, ink = maxRed(s, x, y, 16, 16);
                EXPECT_TRUE(glyph % 128 == 0 ? ink < 8 : ink > 160) << "glyph " << glyph;
                EXPECT_LT(maxRed(s, x + 11, y, 5, 16), 8) << "glyph " << glyph << " reaches past column 10";
            }
        }
        SDL_FreeSurface(s);
    }
}

TEST(DataFiles, TunesDecodeAtTheirLengthUnclippedAndTheBackgroundLoopsSeamlessly) {
    for (auto [name, minSeconds, maxSeconds] :
         {std::tuple{"background.mp3", 30, 60}, {"merry_christmas.mp3", 15, 30}}) {
        // Decoded as the game decodes it: gapless, so no encoder padding at either end.
        mpg123_handle* mh = mpg123_new(nullptr, nullptr);
        mpg123_param2(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
        long rate = 0;
        int channels = 0, encoding = 0, err = mpg123_open(mh, (kData + name).c_str());
        mpg123_getformat(mh, &rate, &channels, &encoding);
        std::vector<int16_t> t(1 << 16);
        size_t n = 0, done = 0;
        while ((err = mpg123_read(mh, reinterpret_cast<unsigned char*>(t.data() + n), (t.size() - n) * 2, &done)) ==
               MPG123_OK)
            if ((n += done / 2) == t.size()) t.resize(2 * n);
        n += done / 2;
        mpg123_delete(mh);
        ASSERT_EQ(std::tuple(err, rate, channels, encoding), std::tuple(MPG123_DONE, 44100L, 2, MPG123_ENC_SIGNED_16))
            << name;
        EXPECT_TRUE(n / 2 >= 44100u * minSeconds && n / 2 <= 44100u * maxSeconds) << name << ": " << n / 2 << " frames";
        EXPECT_TRUE(std::all_of(t.begin(), t.begin() + n, [](int v) { return std::abs(v) < 29204; }))
            << name << ": peak above -1 dBFS";
        if (std::string(name) != "background.mp3") continue;
        // Across the seam each channel moves no further than between neighbouring samples near it.
        for (size_t ch = 0; ch < 2; ++ch) {
            int step = 0;
            for (size_t i = 2; i < 4096; i += 2)
                step =
                    std::max({step, std::abs(t[i + ch] - t[i + ch - 2]), std::abs(t[n - i + ch] - t[n - i + ch - 2])});
            EXPECT_GT(step, 0) << name << " channel " << ch;
            EXPECT_LE(std::abs(t[ch] - t[n - 2 + ch]), step) << name << " channel " << ch;
        }
    }
}

}  // namespace
