// Image input: every BMP layout either arrives as the right texels (top row first) or leaves the
// texture empty, without reading past the decoder's surface; failed loads and double releases.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/bmp_writer.h"
#include "render/texture.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"

namespace {

class TextureTest : public GlTestWindow {
protected:
    TempDir dir;

    std::string write(const std::string& name, const std::string& bytes) {
        dir.write(name, bytes);
        return dir.file(name);
    }

    // Level-0 texels of the bound texture, rows in upload order, tightly packed RGB.
    static std::vector<Rgb> texels(int& width, int& height) {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        std::vector<Rgb> out(static_cast<size_t>(width) * height);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    // Loads `image` and checks that each texel is the image's pixel, top row first.
    void expectLoadsExactly(const BmpImage& image, const std::string& what) {
        SCOPED_TRACE(what);
        Texture t;
        ASSERT_TRUE(t.load(write("image.bmp", encodeBmp(image)).c_str(), GL_NEAREST, GL_NEAREST, false));
        ASSERT_NE(t.name(), 0u);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<unsigned>(bound), t.name());
        int w = 0, h = 0;
        const std::vector<Rgb> got = texels(w, h);
        ASSERT_EQ(w, image.width);
        ASSERT_EQ(h, image.height);
        int wrong = 0;
        for (int row = 0; row < h; ++row)
            for (int x = 0; x < w; ++x)
                if (!(got[static_cast<size_t>(row) * w + x] == image.at(x, row)) && wrong++ < 3)
                    ADD_FAILURE() << "texel " << x << "," << row;
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    void expectEmpty(const std::string& file, const std::string& what) {
        SCOPED_TRACE(what);
        Texture t;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(t.load(file.c_str(), GL_LINEAR, GL_LINEAR, false));
        EXPECT_FALSE(t.loadMipmapped(file.c_str(), GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, false));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(t.name(), 0u);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
};

Rgb gradient(int x, int row) {
    return {static_cast<std::uint8_t>(x * 40 + 3), static_cast<std::uint8_t>(row * 30 + 7),
            static_cast<std::uint8_t>(200 - x * 11 - row * 5)};
}

// Colours that survive 5 bits per channel unchanged.
Rgb primaries(int x, int row) {
    const int i = (x + 3 * row) % 8;
    return {static_cast<std::uint8_t>(i & 1 ? 255 : 0), static_cast<std::uint8_t>(i & 2 ? 255 : 0),
            static_cast<std::uint8_t>(i & 4 ? 255 : 0)};
}

BmpImage paletteImage(int bits, int width, int height) {
    BmpImage im;
    im.bits = bits;
    im.width = width;
    im.height = height;
    const int entries = 1 << bits;
    for (int i = 0; i < entries; ++i)
        im.palette.push_back({static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(255 - i),
                              static_cast<std::uint8_t>(i * 7 + 1)});
    im.index = [entries](int x, int row) { return (x * 5 + row * 3 + 1) % entries; };
    return im;
}

TEST_F(TextureTest, TwentyFourBitImagesOfEveryRowPaddingLoadTopRowFirst) {
    for (int width : {1, 2, 3, 4, 5, 7}) {
        BmpImage im;
        im.width = width;
        im.height = 3;
        im.color = gradient;
        expectLoadsExactly(im, "24-bit width " + std::to_string(width));
    }
    BmpImage topDown;
    topDown.width = 5;
    topDown.height = 4;
    topDown.topDown = true;
    topDown.color = gradient;
    expectLoadsExactly(topDown, "24-bit top-down");

    BmpImage core;
    core.width = 3;
    core.height = 2;
    core.coreHeader = true;
    core.color = gradient;
    expectLoadsExactly(core, "24-bit core header");
}

TEST_F(TextureTest, OtherLayoutsAreConvertedToTheSameTexels) {
    expectLoadsExactly(paletteImage(1, 13, 3), "1-bit palette");
    expectLoadsExactly(paletteImage(4, 7, 3), "4-bit palette");
    expectLoadsExactly(paletteImage(8, 5, 3), "8-bit palette");

    BmpImage rle8 = paletteImage(8, 6, 3);
    rle8.rle = true;
    expectLoadsExactly(rle8, "8-bit run-length encoded");
    BmpImage rle4 = paletteImage(4, 5, 3);
    rle4.rle = true;
    expectLoadsExactly(rle4, "4-bit run-length encoded");

    for (int bits : {16, 32}) {
        BmpImage im;
        im.bits = bits;
        im.width = 3;
        im.height = 5;
        im.color = primaries;
        expectLoadsExactly(im, std::to_string(bits) + "-bit");
    }
}

TEST_F(TextureTest, BrokenFilesLeaveTheTextureEmpty) {
    BmpImage im;
    im.width = 6;
    im.height = 6;
    im.color = gradient;
    const std::string good = encodeBmp(im);

    expectEmpty(dir.file("missing.bmp"), "missing file");
    expectEmpty(write("empty.bmp", ""), "empty file");
    expectEmpty(write("short.bmp", good.substr(0, 20)), "cut inside the header");
    expectEmpty(write("truncated.bmp", good.substr(0, good.size() - 30)), "cut inside the pixels");

    std::string badMagic = good;
    badMagic[0] = 'X';
    expectEmpty(write("magic.bmp", badMagic), "not a BMP");
    std::string badDepth = good;
    badDepth[28] = 13;  // bits per pixel
    expectEmpty(write("depth.bmp", badDepth), "unknown depth");

    BmpImage palette = paletteImage(8, 4, 4);
    const std::string pal = encodeBmp(palette);
    expectEmpty(write("pal.bmp", pal.substr(0, pal.size() - 5)), "truncated palette image");

    BmpImage zero = im;
    zero.width = 0;
    expectEmpty(write("zero-width.bmp", encodeBmp(zero)), "width 0");
    zero = im;
    zero.height = 0;
    expectEmpty(write("zero-height.bmp", encodeBmp(zero)), "height 0");

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    BmpImage wide;
    wide.width = maxSize + 1;
    wide.height = 1;
    wide.color = [](int, int) { return Rgb{1, 2, 3}; };
    expectEmpty(write("wide.bmp", encodeBmp(wide)), "wider than the largest texture");
    // A header that claims a huge image over a few bytes of data.
    std::string huge = good;
    huge[21] = 0x7F;  // width 0x7F000006
    expectEmpty(write("huge.bmp", huge), "absurd width");
}

TEST_F(TextureTest, MipmappedLoadsBuildTheWholeChain) {
    BmpImage im;
    im.width = 4;
    im.height = 4;
    im.color = gradient;
    Texture t;
    ASSERT_TRUE(t.loadMipmapped(write("square.bmp", encodeBmp(im)).c_str(), GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, true));
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &v);
    EXPECT_EQ(v, 1);
    int w = 0, h = 0;
    const std::vector<Rgb> got = texels(w, h);
    ASSERT_EQ(w, 4);
    EXPECT_EQ(got[1], gradient(1, 0));
    EXPECT_EQ(got[15], gradient(3, 3));

    // A converted palette image goes through the mipmap path too.
    const std::string pal = write("pal.bmp", encodeBmp(paletteImage(4, 8, 8)));
    ASSERT_TRUE(t.loadMipmapped(pal.c_str(), GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, false));
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &v);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, FailedReloadEmptiesAndReleaseDeletesOnce) {
    BmpImage im;
    im.width = 2;
    im.height = 2;
    im.color = gradient;
    const std::string file = write("a.bmp", encodeBmp(im));

    Texture t;
    ASSERT_TRUE(t.load(file.c_str(), GL_LINEAR, GL_LINEAR, false));
    const unsigned first = t.name();
    EXPECT_FALSE(t.load(dir.file("missing.bmp").c_str(), GL_LINEAR, GL_LINEAR, false));
    EXPECT_EQ(t.name(), 0u);
    EXPECT_FALSE(glIsTexture(first));

    // A second release must not delete a texture that has since taken over the freed name.
    ASSERT_TRUE(t.load(file.c_str(), GL_LINEAR, GL_LINEAR, false));
    t.release();
    EXPECT_EQ(t.name(), 0u);
    Texture other;
    ASSERT_TRUE(other.load(file.c_str(), GL_LINEAR, GL_LINEAR, false));
    t.release();
    EXPECT_TRUE(glIsTexture(other.name()));

    // An empty texture binds texture 0.
    t.bind();
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
