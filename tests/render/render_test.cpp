// SPDX-License-Identifier: MIT
// Textures, font and board in a real window: every BMP layout arrives as the right texels, top row
// first, or leaves the texture empty; the font shows the right glyph of the right set at the right
// place; the blocks, frame, far copy and pane of the board appear where the projection puts them.
#include <sys/resource.h>
#include <sys/stat.h>

#include "files/settings.h"
#include "game/game_session.h"
#include "render/board_scene.h"
#include "render/font.h"
#include "support/gl_test_window.h"
#include "support/test_access.h"

namespace {

using Rgb = std::array<std::uint8_t, 3>;

// A Windows BMP file in one of the layouts a decoder meets: 8-bit palette, 16-bit 5-5-5, 24 or 32
// bits, rows bottom-up or top-down. An 8-bit image has the eight colours whose channels are 0 or 255.
struct BmpImage {
    int width = 1, height = 1, bits = 24;
    bool topDown = false;
    Rgb (*color)(int x, int row);  // of pixel (x, row counted from the top)
};

std::string encodeBmp(const BmpImage& im) {
    const auto put = [](std::string& s, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> 8 * i);  // little-endian
    };
    std::string pixels;
    for (int i = 0; i < im.height; ++i) {
        for (int x = 0; x < im.width; ++x) {
            const Rgb c = im.color(x, im.topDown ? i : im.height - 1 - i);
            const std::uint32_t bgr = c[2] | c[1] << 8 | c[0] << 16,
                                rgb555 = c[0] >> 3 << 10 | c[1] >> 3 << 5 | c[2] >> 3;
            const std::uint32_t index = (c[0] & 1) | (c[1] & 2) | (c[2] & 4);  // 8 bits: of the colours below
            put(pixels, im.bits == 8 ? index : im.bits == 16 ? rgb555 : bgr, im.bits / 8);
        }
        while (pixels.size() % 4) pixels += '\0';  // every row padded to four bytes
    }
    const auto u = [](auto v) { return static_cast<std::uint32_t>(v); };
    const std::uint32_t entries = im.bits == 8 ? 8 : 0, offset = 14 + 40 + 4 * entries;
    // The file header after "BM", then the 40-byte info header (planes and depth share a field).
    std::string s = "BM";
    for (std::uint32_t v :
         {offset + u(pixels.size()), 0u, offset, 40u, u(im.width), u(im.topDown ? -im.height : im.height),
          1u | u(im.bits) << 16, 0u, u(pixels.size()), 2835u, 2835u, entries, 0u})
        put(s, v, 4);
    for (std::uint32_t k = 0; k < entries; ++k)
        put(s, (k & 1) * 0xFF0000 | (k & 2) / 2 * 0xFF00 | (k & 4) / 4 * 0xFF, 4);
    return s + pixels;
}

// Eight colours that survive the 5 bits of a 16-bit image unchanged; neighbours differ.
Rgb colour(int x, int row) {
    const int i = x * 7 + row * 11;
    const auto level = [&](int bit) { return static_cast<std::uint8_t>(i & bit ? 255 : 0); };
    return {level(1), level(2), level(4)};
}

// The glyph sheet: every cell one colour whose red is the glyph number, so that a pixel read back
// names the glyph drawn there (through the texture matrix, which puts t = 0 at the bottom edge).
Rgb glyphCell(int x, int row) {
    const auto glyph = static_cast<std::uint8_t>(row / 16 * 16 + x / 16);
    return {glyph, static_cast<std::uint8_t>(255 - glyph), 128};
}

Rgb solidRed(int, int) { return {255, 0, 0}; }

bool red(const Pixel& p) { return p[0] > 60 && p[1] + p[2] < p[0] / 4; }
bool grey(const Pixel& p) { return p[0] > 0 && p[0] == p[1] && p[1] == p[2]; }
// What the pixels show, for expectations that print it.
std::vector<std::string> looks(std::initializer_list<Pixel> pixels) {
    std::vector<std::string> out;
    for (const Pixel& p : pixels) out.push_back(red(p) ? "red" : grey(p) ? "grey" : p == Pixel{} ? "black" : "other");
    return out;
}
using Looks = std::vector<std::string>;

class Render : public GlTestWindow {
protected:
    // Of the block images only kind 0's is there, solid red; the other kinds draw plain. The heap is
    // one red block in column 0, row 0; the piece a plain square in columns 9 and 10, rows 20 and 21.
    static void SetUpTestSuite() {
        GlTestWindow::SetUpTestSuite();
        ASSERT_EQ(mkdir(workDir_.file("data").c_str(), 0755), 0);
        workDir_.write("data/font.bmp", encodeBmp({.width = 256, .height = 256, .color = glyphCell}));
        workDir_.write("data/box_white.bmp", encodeBmp({.width = 4, .height = 4, .color = solidRed}));
        if (!available_) return;
        font_.build();
        buildCubeList();
        session_.initGraphics(&settings_);
        TestAccess::settled(session_).emplace_back().setTexture(&session_.blockTextures()[0]);
        TestAccess::current(session_).layout(4, session_.blockTextures().data());
        TestAccess::current(session_).translate(9, 21);
    }
    // Glyph shown at text-screen point (x, y): its red channel, or -1 for a black pixel.
    static int glyphAt(int x, int y) {
        const Pixel p = pixel(x, y);
        return p == Pixel{p[0], 255 - p[0], 128} ? p[0] : p == Pixel{} ? -1 : 1000 + p[0];  // 1000 + red: mixed
    }
    // On the front face of board cell (column, row): the board's origin is at eye (-10, -11, -30),
    // and between frames the modelview matrix is the identity.
    static Pixel cell(double column, double row) { return at(-10 + column, -11 + row, -29.5); }
    static void drawBoard(bool reflection) {
        settings_.reflection = reflection;
        beginFrame();
        expectBaseState("drawBoard", [] { session_.drawBoard(1); });
    }
    static inline Font font_;
    static inline Settings settings_;
    static inline GameSession session_;
};

// Loading binds the new texture, so reading back the bound one checks both.
TEST_F(Render, EveryImageLayoutLoadsAsTheSameTexelsTopRowFirstAndBrokenFilesAsNone) {
    std::vector<BmpImage> images;
    for (int width : {1, 2, 3, 5}) images.push_back({.width = width, .height = 3, .color = colour});  // every padding
    images.push_back({.width = 5, .height = 4, .topDown = true, .color = colour});
    for (int bits : {8, 16, 32}) images.push_back({.width = 3, .height = 5, .bits = bits, .color = colour});
    images.push_back({.width = 4, .height = 4, .bits = 8, .color = colour});  // mipmapped
    for (const BmpImage& image : images) {
        SCOPED_TRACE(testing::Message() << image.bits << "-bit, width " << image.width);
        const bool mipmapped = &image == &images.back();
        Texture t;
        workDir_.write("image.bmp", encodeBmp(image));
        ASSERT_TRUE(mipmapped ? t.loadMipmapped("image.bmp", GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, false)
                              : t.load("image.bmp", GL_NEAREST, GL_NEAREST, false));
        GLint size[3] = {};  // width and height of level 0, width of level 2
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &size[2]);
        ASSERT_EQ(std::tuple(size[0], size[1], size[2] == 1), std::tuple(image.width, image.height, mipmapped));
        std::vector<Rgb> got(static_cast<size_t>(image.width * image.height));
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, got.data());
        for (int i = 0; i < image.width * image.height; ++i)
            EXPECT_EQ(got[i], image.color(i % image.width, i / image.width)) << "pixel " << i;
    }
    // A broken file leaves the texture empty, even releasing the one loaded before; the decoder never
    // reads past the file nor makes a surface of the size a header claims beyond the largest texture.
    const std::string good = encodeBmp({.width = 6, .height = 6, .color = colour});
    auto patched = [](std::string s, std::size_t at, char byte) { return s.replace(at, 1, 1, byte); };
    rusage before{}, after{};  // the peak memory: no image is made for the size a broken header claims
    getrusage(RUSAGE_SELF, &before);
    for (const std::string& bytes :
         {std::string(), good.substr(0, 20), good.substr(0, good.size() - 30), patched(good, 0, 'X'),
          patched(good, 28, 13), patched(patched(good, 19, 0x40), 23, 0x40),  // 16390 x 16390 over a few bytes
          encodeBmp({.width = 0, .height = 6, .color = colour}), encodeBmp({.width = 6, .height = 0, .color = colour}),
          encodeBmp({.width = 1 << 16, .color = colour})}) {
        Texture t;
        workDir_.write("image.bmp", good);
        ASSERT_TRUE(t.load("image.bmp", GL_LINEAR, GL_LINEAR, false));
        const unsigned first = t.name();
        workDir_.write("image.bmp", bytes);
        const bool loaded = t.load("image.bmp", GL_LINEAR, GL_LINEAR, false);
        EXPECT_EQ(std::tuple(loaded, t.name(), glIsTexture(first)), std::tuple(false, 0u, GLboolean{GL_FALSE}))
            << bytes.size() << " bytes";
    }
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 100000) << "kB more at the peak";
}

// " A~\x7f" shows glyphs 0, 33, 94 and 95 (the last of a set) at x + 10n; the codes outside 32..127
// between them are skipped and take no space. The middle of a glyph's last 4 units is not overlapped.
TEST_F(Render, GlyphsOfEitherSetAdvanceTenUnitsAndCodesOutsideTheSetsAreSkipped) {
    for (int set : {0, 128}) {
        beginFrame(-5);
        expectBaseState("print", [&] {
            font_.print(100, 200, " A\x01~\x80\x7f\xff", set);
            font_.print(100, 100, "\x01\x1f\x80\xff", set);  // nothing to show
        });
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(std::pair(glyphAt(108 + 10 * n, 208), glyphAt(108 + 10 * n, 108)),
                      std::pair(" A~\x7f"[n] - 32 + set, -1))
                << n;
        EXPECT_EQ(std::pair(glyphAt(100, 200), glyphAt(145, 215)), std::pair(set, 95 + set));  // outer corners
        for (auto [x, y] : {std::pair{99, 208}, {146, 208}, {110, 216}, {110, 199}}) EXPECT_EQ(glyphAt(x, y), -1);
    }
}

// Reflection off: the board alone, without the far copy (origin at eye (-8, -11, -50)) and the grey
// pane ((-1, -1)..(12, 23) around (-8, -11, -40)). Both come with the flag on the next frame; that
// they go again with it, the end-to-end tests see.
TEST_F(Render, BoardShowsLitCubesWhereTheProjectionPutsThemAndAFarCopyBehindAPaneWithReflection) {
    auto farBlock = [] { return at(-8, -11, -49.5); };
    auto paneOnly = [] { return at(-3, 5, -40); };  // nothing of either board lies on this line of sight
    auto farPost = [] { return at(-9, 0, -50); };   // the far frame's left post
    drawBoard(false);
    // Cell (0, 0) at eye (-10, -11, -30), seen at 45 degrees with aspect 1; no far copy, no pane.
    EXPECT_EQ(looks({pixel(62, 27), farBlock(), paneOnly(), farPost()}), (Looks{"red", "black", "black", "black"}));
    // Its front, top and right faces show: the view comes from above right.
    EXPECT_EQ(looks({at(-10, -11, -29.5), at(-10, -10.5, -30.2), at(-9.5, -11, -30.2)}), (Looks{"red", "red", "red"}));
    // The plain cube in cell (10, 21) at eye (0, 10, -30): lit grey, the front and the bottom face
    // (of the cube below it) shaded apart, its face one cell wide.
    const Pixel front = cell(10, 21), bottom = at(0, 8.5, -30.2);
    EXPECT_EQ(looks({front, bottom}), (Looks{"grey", "grey"}));
    EXPECT_NEAR(front[0], 166, 8);
    EXPECT_NEAR(bottom[0], 61, 8);
    EXPECT_EQ((std::array{cell(10.4, 21.4), cell(9.6, 20.6), cell(10, 21.6), cell(8.4, 21)}),
              (std::array{front, front, Pixel{}, Pixel{}}));
    // The frame: left and right posts and the bottom bar, translucent white and lit; a cube beside.
    EXPECT_EQ(looks({at(-11, 0, -30), at(1, 0, -30), at(-5, -11.5, -30), cell(9, 20)}),
              (Looks{"grey", "grey", "grey", "grey"}));
    // A cube is white whatever colour is current (the preview follows red text).
    glTranslatef(-10, -11, -30);
    glColor3f(0, 0, 1);
    TestAccess::current(session_).draw();
    EXPECT_EQ(at(10, 21, 0.5), front);
    drawBoard(true);
    // The far copy's red block and lit post seen dimmed through the grey pane.
    EXPECT_EQ(looks({paneOnly()}), Looks{"grey"});
    EXPECT_GT(farBlock()[0], farBlock()[1] + 10) << farBlock()[1];
    EXPECT_GT(farPost()[0], paneOnly()[0]);
}

}  // namespace
