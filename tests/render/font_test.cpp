// SPDX-License-Identifier: MIT
// The bitmap font on a real window: glyph choice in both sets, pen advance, skipped codes, and the
// state print leaves behind. The glyph sheet is made here: every cell is one solid colour whose
// red channel is the glyph number, so a pixel read back names the glyph drawn there.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "render/bmp_writer.h"
#include "render/font.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"

namespace {

// Builds `font` in a directory holding the sheet as data/font.bmp, as the game does from its
// working directory.
void buildWithSheet(Font& font) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("data").c_str(), 0755), 0);
    BmpImage sheet{.width = 256, .height = 256};
    sheet.color = [](int x, int row) {
        const auto glyph = static_cast<std::uint8_t>(row / 16 * 16 + x / 16);
        return Rgb{glyph, static_cast<std::uint8_t>(255 - glyph), 128};
    };
    dir.write("data/font.bmp", encodeBmp(sheet));
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    font.build();
    ASSERT_EQ(chdir(old), 0);
}

class FontTest : public GlTestWindow {
protected:
    void SetUp() override {
        GlTestWindow::SetUp();
        if (available_) buildWithSheet(font_);
    }
    // Glyph shown at text-screen point (x, y): its red channel, or -1 for a black pixel.
    static int glyphAt(int x, int y) {
        const auto p = pixel(x, y);
        if (p == std::array<int, 3>{0, 0, 0}) return -1;
        EXPECT_EQ(p, (std::array<int, 3>{p[0], 255 - p[0], 128})) << "mixed pixel at " << x << "," << y;
        return p[0];
    }
    Font font_;
};

TEST_F(FontTest, CharactersAdvanceTenUnitsAndPickTheirSet) {
    const char* text = " A~\x7f";  // glyphs 0, 33, 94 and 95, the last of a set
    for (int set : {0, 1}) {
        beginFrame();
        font_.print(100, 200, text, set);
        // Glyph n sits at x + 10n; the middle of its last 4 units is not overlapped.
        for (int n = 0; n < 4; ++n) EXPECT_EQ(glyphAt(108 + 10 * n, 208), text[n] - 32 + 128 * set) << n;
        EXPECT_EQ(glyphAt(100, 200), 128 * set);       // lower-left corner of the first glyph
        EXPECT_EQ(glyphAt(145, 215), 95 + 128 * set);  // upper-right corner of the last one
        for (auto [x, y] : {std::pair{99, 208}, {146, 208}, {110, 216}, {110, 199}}) EXPECT_EQ(glyphAt(x, y), -1);
        expectBaseState("print");
    }
}

TEST_F(FontTest, CodesOutsideThePrintableRangeAreSkipped) {
    // Lists just outside the font that light the whole screen if anything ever calls them.
    const long base = font_.listBase();
    std::vector<GLuint> sentinels;
    for (long n = base - 128; n < base; ++n) {  // where a char taken as signed would point
        if (n <= 0 || glIsList(static_cast<GLuint>(n))) continue;
        glNewList(static_cast<GLuint>(n), GL_COMPILE);
        glDisable(GL_TEXTURE_2D);
        glRecti(-1000, -1000, 1000, 1000);
        glEnable(GL_TEXTURE_2D);
        glEndList();
        sentinels.push_back(static_cast<GLuint>(n));
    }
    for (bool style : {false, true}) {
        beginFrame();
        font_.print(100, 100, "\x01\x1f\x80\xff", style);
        EXPECT_EQ(brightness(0, 0, 640, 480), 0) << "style " << style;
        beginFrame();
        font_.print(100, 100,
                    "A\x80\x05"
                    "B\xc3\xa9",
                    style);
        EXPECT_EQ(glyphAt(118, 108), style ? 162 : 34);  // skipped codes take no space
        EXPECT_EQ(glyphAt(127, 108), -1);
    }
    font_.print(0, 0, nullptr, false);
    for (GLuint n : sentinels) glDeleteLists(n, 1);
    expectBaseState("print with skipped codes");
}

TEST_F(FontTest, EmptyTextDrawsNothingAndPrintRestoresState) {
    glColor3f(0.5f, 0.25f, 1);
    glTranslatef(3, 4, -5);
    GLfloat before[32], after[32], colour[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glGetFloatv(GL_PROJECTION_MATRIX, before + 16);
    font_.print(10, 10, "", false);
    EXPECT_EQ(brightness(0, 0, 640, 480), 0);
    font_.print(10, 10, "Hi", true);
    EXPECT_GT(brightness(0, 0, 640, 480), 0);
    expectBaseState("print");
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    glGetFloatv(GL_PROJECTION_MATRIX, after + 16);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.25f);  // the caller's colour is used, not changed
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), font_.name());
}

}  // namespace
