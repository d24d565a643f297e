// The bitmap font on a real window: glyph choice in both sets, pen advance, skipped codes, and the
// state print leaves behind. The glyph sheet is made here: every cell is one solid colour whose
// red channel is the glyph number, so a pixel read back names the glyph drawn there.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <string>

#include "render/bmp_writer.h"
#include "render/font.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"

namespace {

std::array<int, 3> glyphColour(int glyph) { return {glyph, 255 - glyph, 128}; }

// Builds `font` in a directory holding data/font.bmp (or none), as the game does from its
// working directory.
void buildIn(Font& font, bool withSheet) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("data").c_str(), 0755), 0);
    if (withSheet) {
        BmpImage sheet;
        sheet.width = 256;
        sheet.height = 256;
        sheet.color = [](int x, int row) {
            const auto c = glyphColour(row / 16 * 16 + x / 16);
            return Rgb{static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]),
                       static_cast<std::uint8_t>(c[2])};
        };
        dir.write("data/font.bmp", encodeBmp(sheet));
    }
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    font.build();
    ASSERT_EQ(chdir(old), 0);
}

class FontTest : public GlTestWindow {
protected:
    static Font* font_;

    static void SetUpTestSuite() {
        GlTestWindow::SetUpTestSuite();
        if (!available_) return;
        font_ = new Font;
        buildIn(*font_, true);
    }
    static void TearDownTestSuite() {
        delete font_;
        font_ = nullptr;
    }
    // Glyph shown at text-screen point (x, y): its red channel, or -1 for a black pixel.
    static int glyphAt(int x, int y) {
        const auto p = pixel(x, y);
        if (p == std::array<int, 3>{0, 0, 0}) return -1;
        EXPECT_EQ(p, glyphColour(p[0])) << "mixed pixel at " << x << "," << y;
        return p[0];
    }
    static long screenBrightness() { return brightness(0, 0, 640, 480); }
};
Font* FontTest::font_ = nullptr;

TEST_F(FontTest, CharactersAdvanceTenUnitsAndPickTheirSet) {
    // Glyph n of a string sits at x + 10n; the middle of its last 4 units is not overlapped.
    font_->print(550, 10, "ESC", true);
    EXPECT_EQ(glyphAt(558, 18), 165);
    EXPECT_EQ(glyphAt(568, 18), 179);
    EXPECT_EQ(glyphAt(578, 18), 163);
    EXPECT_EQ(glyphAt(549, 18), -1);  // left edge of the first glyph
    EXPECT_EQ(glyphAt(550, 10), 165);
    EXPECT_EQ(glyphAt(585, 25), 163);  // top right corner of the last one
    EXPECT_EQ(glyphAt(586, 18), -1);
    EXPECT_EQ(glyphAt(560, 26), -1);
    EXPECT_EQ(glyphAt(560, 9), -1);

    beginFrame();
    font_->print(100, 200, " A~\x7f", false);
    EXPECT_EQ(glyphAt(108, 208), 0);    // space: glyph 0
    EXPECT_EQ(glyphAt(118, 208), 33);   // 'A'
    EXPECT_EQ(glyphAt(128, 208), 94);   // '~'
    EXPECT_EQ(glyphAt(138, 208), 95);   // code 127, last of the set
    beginFrame();
    font_->print(100, 200, " A", true);
    EXPECT_EQ(glyphAt(108, 208), 128);
    EXPECT_EQ(glyphAt(118, 208), 161);
    expectBaseState("print");
}

TEST_F(FontTest, CodesOutsideThePrintableRangeAreSkipped) {
    // Lists just outside the font that light the whole screen if anything ever calls them.
    const unsigned base = font_->listBase();
    std::vector<unsigned> sentinels;
    for (long n = static_cast<long>(base) - 160; n < static_cast<long>(base) + 256 + 160; ++n) {
        if (n == static_cast<long>(base)) n += 256;
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
        font_->print(100, 100, "\x01\x1f\x80\xff", style);
        EXPECT_EQ(screenBrightness(), 0) << "style " << style;
        beginFrame();
        font_->print(100, 100, "A\x80\x05" "B\xc3\xa9", style);
        EXPECT_EQ(glyphAt(108, 108), style ? 161 : 33);
        EXPECT_EQ(glyphAt(118, 108), style ? 162 : 34);  // skipped codes take no space
        EXPECT_EQ(glyphAt(127, 108), -1);
    }
    font_->print(0, 0, nullptr, false);
    for (unsigned n : sentinels) glDeleteLists(n, 1);
    expectBaseState("print with skipped codes");
}

TEST_F(FontTest, EmptyTextDrawsNothingAndPrintRestoresState) {
    glColor3f(0.5f, 0.25f, 1);
    glTranslatef(3, 4, -5);
    GLfloat before[16], projection[16], after[16], colour[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);

    font_->print(10, 10, "", false);
    EXPECT_EQ(screenBrightness(), 0);
    expectBaseState("empty print");

    font_->print(10, 10, "Hi", true);
    EXPECT_GT(screenBrightness(), 0);
    expectBaseState("print");
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_EQ(std::memcmp(projection, after, sizeof projection), 0);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.25f);  // the caller's colour is used, not changed
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), font_->name());
}

TEST_F(FontTest, WithoutASheetGlyphsAreSolidQuadsOfTheCurrentColour) {
    Font plain;
    buildIn(plain, false);
    EXPECT_EQ(plain.name(), 0u);
    ASSERT_NE(plain.listBase(), 0u);
    glColor3f(1, 0, 0);
    plain.print(200, 300, "x", false);
    EXPECT_EQ(pixel(208, 308), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(brightness(200, 300, 216, 316), 255L * 16 * 16);
    EXPECT_EQ(screenBrightness(), 255L * 16 * 16);
    expectBaseState("untextured print");
}

}  // namespace
