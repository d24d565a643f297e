// SPDX-License-Identifier: MIT
// Image input: every BMP layout either arrives as the right texels (top row first) or leaves the
// texture empty, without reading past the decoder's surface; failed loads and double releases.
#include "render/texture.h"
#include "render/bmp_writer.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"

namespace {

Rgb rgb(int r, int g, int b) {
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

Rgb gradient(int x, int row) { return rgb(x * 40 + 3, row * 30 + 7, 200 - x * 11 - row * 5); }

// Colours that survive 5 bits per channel unchanged.
Rgb primaries(int x, int row) {
    const int i = (x + 3 * row) % 8;
    return rgb(i & 1 ? 255 : 0, i & 2 ? 255 : 0, i & 4 ? 255 : 0);
}

BmpImage paletteImage(int bits, int width, int height, bool rle = false) {
    const int entries = 1 << bits;
    BmpImage im{.width = width, .height = height, .bits = bits, .rle = rle, .index = [entries](int x, int row) {
                    return (x * 5 + row * 3 + 1) % entries;
                }};
    for (int i = 0; i < entries; ++i) im.palette.push_back(rgb(i * 37, 255 - i, i * 7 + 1));
    return im;
}

class TextureTest : public GlTestWindow {
protected:
    TempDir dir;

    std::string write(const std::string& bytes) {
        dir.write("image.bmp", bytes);
        return dir.file("image.bmp");
    }

    // The bound texture's level 0 holds exactly `image`, top row first.
    static void expectTexels(const BmpImage& image) {
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        ASSERT_TRUE(width == image.width && height == image.height) << width << " x " << height;
        std::vector<Rgb> got(static_cast<size_t>(width) * height), want;
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, got.data());
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x) want.push_back(image.at(x, row));
        EXPECT_EQ(got, want);
    }

    void expectEmpty(const std::string& file, const std::string& what) {
        SCOPED_TRACE(what);
        Texture t;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(t.load(file.c_str(), GL_LINEAR, GL_LINEAR, false));
        EXPECT_FALSE(t.loadMipmapped(file.c_str(), GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, false));
        EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(t.name(), 0u);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
};

// Loading binds the texture, so reading back the bound one checks both.
TEST_F(TextureTest, EveryLayoutLoadsAsTheSameTexelsTopRowFirst) {
    std::vector<BmpImage> images;
    for (int width : {1, 2, 3, 4})  // every row padding
        images.push_back({.width = width, .height = 3, .color = gradient});
    images.push_back({.width = 5, .height = 4, .topDown = true, .color = gradient});
    for (int bits : {1, 4, 8}) images.push_back(paletteImage(bits, 13 - bits, 3));
    images.push_back(paletteImage(8, 6, 3, true));
    images.push_back(paletteImage(4, 5, 3, true));
    for (int bits : {16, 32}) images.push_back({.width = 3, .height = 5, .bits = bits, .color = primaries});
    for (const BmpImage& image : images) {
        SCOPED_TRACE(testing::Message() << image.bits << "-bit, width " << image.width);
        Texture t;
        ASSERT_TRUE(t.load(write(encodeBmp(image)).c_str(), GL_NEAREST, GL_NEAREST, false));
        expectTexels(image);
    }
}

TEST_F(TextureTest, BrokenFilesLeaveTheTextureEmpty) {
    const std::string good = encodeBmp({.width = 6, .height = 6, .color = gradient});
    const std::string pal = encodeBmp(paletteImage(8, 4, 4));
    auto patched = [&](std::size_t at, char byte) { return good.substr(0, at) + byte + good.substr(at + 1); };
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const std::pair<const char*, std::string> files[] = {
        {"empty file", ""},
        {"cut inside the header", good.substr(0, 20)},
        {"cut inside the pixels", good.substr(0, good.size() - 30)},
        {"truncated palette image", pal.substr(0, pal.size() - 5)},
        {"not a BMP", patched(0, 'X')},
        {"unknown depth", patched(28, 13)},
        {"absurd width", patched(21, 0x7F)},  // 0x7F000006 over a few bytes of data
        {"width 0", encodeBmp({.width = 0, .height = 6, .color = gradient})},
        {"height 0", encodeBmp({.width = 6, .height = 0, .color = gradient})},
        {"wider than the largest texture", encodeBmp({.width = maxSize + 1, .color = gradient})},
    };
    expectEmpty(dir.file("missing.bmp"), "missing file");
    for (const auto& [what, bytes] : files) expectEmpty(write(bytes), what);
}

TEST_F(TextureTest, MipmappedLoadsBuildTheWholeChain) {
    Texture t;
    for (const BmpImage& image : {BmpImage{.width = 4, .height = 4, .color = gradient}, paletteImage(4, 4, 4)}) {
        ASSERT_TRUE(t.loadMipmapped(write(encodeBmp(image)).c_str(), GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, true));
        expectTexels(image);
        GLint v = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &v);
        EXPECT_EQ(v, 1);
    }
}

TEST_F(TextureTest, FailedReloadEmptiesAndReleaseDeletesOnce) {
    const std::string file = write(encodeBmp({.width = 2, .height = 2, .color = gradient}));
    Texture t, other;
    ASSERT_TRUE(t.load(file.c_str(), GL_LINEAR, GL_LINEAR, false));
    const unsigned first = t.name();
    EXPECT_FALSE(t.load(dir.file("missing.bmp").c_str(), GL_LINEAR, GL_LINEAR, false));
    EXPECT_EQ(t.name(), 0u);
    EXPECT_FALSE(glIsTexture(first));

    // A second release must not delete a texture that has since taken over the freed name.
    ASSERT_TRUE(t.load(file.c_str(), GL_LINEAR, GL_LINEAR, false));
    t.release();
    ASSERT_TRUE(other.load(file.c_str(), GL_LINEAR, GL_LINEAR, false));
    t.release();
    EXPECT_TRUE(glIsTexture(other.name()));

    t.bind();  // an empty texture binds texture 0
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

}  // namespace
