// The effects drawn in a real window: where they put light, and that every update leaves the
// OpenGL base state as it found it. Images are untextured white unless a test makes its own BMP.
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "render/credits_scroller.h"
#include "render/exit_banner.h"
#include "render/fade_image.h"
#include "render/font.h"
#include "render/snowfall.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

// Counts every allocation of the test binary, so that frames can be checked to allocate nothing.
// Kept out of line so that the compiler does not pair the malloc and free across calls.
__attribute__((noinline)) void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr const char* noFile = "no-such-dir/no-such-image.bmp";

// A 24-bit BMP, `rows` given top row first, each a list of RGB pixels.
std::string bmp(const std::vector<std::vector<std::array<unsigned char, 3>>>& rows) {
    const int h = static_cast<int>(rows.size()), w = static_cast<int>(rows[0].size());
    const int pitch = (w * 3 + 3) / 4 * 4;
    const int size = 54 + pitch * h;
    std::string out(static_cast<size_t>(size), '\0');
    auto put32 = [&](int at, int v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    out[26] = 1;
    out[28] = 24;
    put32(34, pitch * h);
    for (int y = 0; y < h; ++y)  // stored bottom row first
        for (int x = 0; x < w; ++x) {
            const auto& rgb = rows[h - 1 - y][x];
            const int at = 54 + y * pitch + x * 3;
            out[at] = static_cast<char>(rgb[2]);
            out[at + 1] = static_cast<char>(rgb[1]);
            out[at + 2] = static_cast<char>(rgb[0]);
        }
    return out;
}

// Red top half, blue bottom half.
std::string redOverBlue() {
    const std::array<unsigned char, 3> red{255, 0, 0}, blue{0, 0, 255};
    return bmp({{red, red}, {blue, blue}});
}

int sum(const std::array<int, 3>& rgb) { return rgb[0] + rgb[1] + rgb[2]; }

// Runs the current directory in `dir` for the fixed data/ names, restoring it afterwards.
class InDirectory {
public:
    explicit InDirectory(const std::string& dir) {
        if (!getcwd(old_, sizeof old_)) old_[0] = '\0';
        EXPECT_EQ(chdir(dir.c_str()), 0);
    }
    ~InDirectory() {
        if (old_[0]) {
            EXPECT_EQ(chdir(old_), 0);
        }
    }

private:
    char old_[4096];
};

class EffectsGl : public GlTestWindow {
protected:
    // The intro and farewell screens draw 5 units in front of the eye.
    static void beginScreenFrame() {
        beginFrame();
        glTranslatef(0, 0, -5);
    }
    // The pixel where the current matrices put object point (x, y, z).
    static std::array<int, 3> at(double x, double y, double z = 0) {
        const auto p = project(x, y, z);
        return pixel(static_cast<int>(p[0]), static_cast<int>(p[1]));
    }
    static long wholeScreen() { return brightness(0, 0, 640, 480); }

    // Window-space vertices of the polygons `draw` sends down the pipeline (after clipping).
    template <typename Draw>
    static std::vector<std::array<float, 2>> polygonVertices(Draw draw) {
        static GLfloat buffer[4096];
        glFeedbackBuffer(4096, GL_3D, buffer);
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint n = glRenderMode(GL_RENDER);
        std::vector<std::array<float, 2>> out;
        for (GLint i = 0; i < n;) {
            const auto token = static_cast<GLint>(buffer[i++]);
            if (token != GL_POLYGON_TOKEN) break;
            const auto count = static_cast<GLint>(buffer[i++]);
            for (GLint v = 0; v < count; ++v, i += 3) out.push_back({buffer[i], buffer[i + 1]});
        }
        return out;
    }
};

TEST_F(EffectsGl, ZoomImageGrowsFadesAndIsDrawnOnItsLastFrame) {
    FadeImage image;
    image.init(noFile, FadeImage::zoom, 0);
    beginScreenFrame();
    image.update(0);
    expectBaseState("zoom update at scale 1");
    const int centre = sum(at(0, 0));
    EXPECT_GT(centre, 0);
    EXPECT_EQ(sum(at(0, 0.75)), 0);  // the 2 x 1 quad ends at y = 0.5
    EXPECT_GT(sum(at(0.9, 0.4)), 0);

    beginScreenFrame();
    image.update(2000);  // scale 2, alpha 1/3
    expectBaseState("zoom update at scale 2");
    EXPECT_GT(sum(at(0, 0.75)), 0);
    EXPECT_EQ(sum(at(0, 1.25)), 0);
    EXPECT_LT(sum(at(0, 0)), centre);

    image.advance(1999);
    beginScreenFrame();
    const double top = project(0, 1.5, 0)[1];
    const auto vertices = polygonVertices([&] { image.update(1); });
    EXPECT_TRUE(image.isDone());
    ASSERT_FALSE(vertices.empty());  // still drawn, at alpha 0 and scale 3
    float maxY = 0;
    for (const auto& v : vertices) maxY = std::max(maxY, v[1]);
    EXPECT_NEAR(maxY, top, 1.0);
    expectBaseState("zoom update when done");
}

TEST_F(EffectsGl, FadeInBrightensAndUnknownModeDrawsNothing) {
    FadeImage image;
    image.init(noFile, FadeImage::fadeIn, 0.001f);
    beginScreenFrame();
    image.update(0);
    EXPECT_EQ(wholeScreen(), 0);
    beginScreenFrame();
    image.update(500);
    const int half = sum(at(0, 0));
    beginScreenFrame();
    image.update(500);
    const int full = sum(at(0, 0));
    EXPECT_GT(half, 0);
    EXPECT_GT(full, half);
    expectBaseState("fadeIn update");

    FadeImage odd;
    odd.init(noFile, 5, 0);
    beginScreenFrame();
    EXPECT_TRUE(polygonVertices([&] { odd.update(100); }).empty());
    odd.draw();
    EXPECT_EQ(wholeScreen(), 0);
    expectBaseState("unknown mode update");
}

TEST_F(EffectsGl, BannerSlidesAcrossTheRedGlow) {
    ExitBanner banner;
    beginScreenFrame();
    banner.update(0);
    expectBaseState("banner update");
    const auto left = at(-1, 0), right = at(1, 0);
    EXPECT_GT(left[0], 0);  // glow only: red
    EXPECT_EQ(left[1], 0);
    EXPECT_EQ(left[2], 0);
    EXPECT_GT(right[1], 0);  // the banner, centred at x = 8, covers the right half
    EXPECT_GT(right[2], 0);

    banner.advance(8000);
    beginScreenFrame();
    banner.draw();
    expectBaseState("banner draw");
    EXPECT_GT(at(-1, 0)[1], 0);
    EXPECT_GT(at(-1.9, 0)[1], 0);
    EXPECT_GT(at(1.9, 0)[1], 0);
}

TEST_F(EffectsGl, SnowflakeShowsOnlyWhenTurnedToTheViewer) {
    Snowfall snow;
    snow.init();
    ASSERT_NE(snow.flakeList(), 0u);
    for (Flake& f : snow.flakes()) f = Flake{1000, 0, 0, 0, 180, 0, 0.01f};  // parked off-screen
    Flake& flake = snow.flakes()[0];
    flake = Flake{0, 0, 0, 0, 180, 0, 0.01f};

    beginScreenFrame();
    snow.update(1);
    expectBaseState("snow update");
    EXPECT_GT(sum(at(0, 0)), 0);
    EXPECT_GT(sum(at(0.4, -0.4)), 0);
    EXPECT_EQ(sum(at(0.7, 0)), 0);  // the quad is 1 x 1
    EXPECT_FLOAT_EQ(flake.y, -0.01f);  // moved after being drawn
    EXPECT_FLOAT_EQ(flake.angleY, 180.1f);

    flake.angleY = 0;  // front face away from the viewer: culled
    beginScreenFrame();
    snow.update(0);
    EXPECT_EQ(wholeScreen(), 0);

    std::srand(31);
    snow.scatter();
    beginScreenFrame();
    snow.update(1);
    expectBaseState("snow update, scattered");
    EXPECT_GT(wholeScreen(), 0);
}

TEST_F(EffectsGl, ImagesAreDrawnUpright) {
    TempDir dir;
    std::system(("mkdir -p " + dir.file("data")).c_str());
    for (const char* name : {"image.bmp", "data/snowflake.bmp", "data/merry_christmas.bmp"})
        dir.write(name, redOverBlue());

    FadeImage image;
    image.init(dir.file("image.bmp").c_str(), FadeImage::fadeIn, 0.001f);
    ASSERT_NE(image.name(), 0u);
    beginScreenFrame();
    image.update(1000);
    auto top = at(0, 0.25), bottom = at(0, -0.25);
    EXPECT_GT(top[0], top[2]);
    EXPECT_GT(bottom[2], bottom[0]);

    InDirectory in(dir.path());
    Snowfall snow;
    snow.init();
    ASSERT_NE(snow.flakeTexture().name(), 0u);
    for (Flake& f : snow.flakes()) f = Flake{1000, 0, 0, 0, 180, 0, 0};
    snow.flakes()[0] = Flake{0, 0, 0, 0, 180, 0, 0};
    beginScreenFrame();
    snow.update(0);
    top = at(0, 0.25);
    bottom = at(0, -0.25);
    EXPECT_GT(top[0], top[2]);
    EXPECT_GT(bottom[2], bottom[0]);

    ExitBanner banner;
    banner.init();
    ASSERT_NE(banner.name(), 0u);
    beginScreenFrame();
    banner.draw();
    top = at(1.5, 1);  // right of the glow
    bottom = at(1.5, -1);
    EXPECT_GT(top[0], top[2]);
    EXPECT_GT(bottom[2], bottom[0]);
    expectBaseState("textured effects");
}

TEST_F(EffectsGl, CreditsShowOnlyTheHintUntilTheyScrollIn) {
    Font font;
    font.build();  // without data/font.bmp every glyph is a solid quad
    CreditsScroller credits;
    credits.setFont(&font);
    glColor3f(1, 1, 1);
    beginScreenFrame();
    credits.update(0);
    expectBaseState("credits update");
    EXPECT_EQ(brightness(0, 30, 640, 480), 0);
    EXPECT_GT(brightness(550, 10, 630, 26), 0);
    EXPECT_EQ(brightness(0, 0, 540, 30), 0);

    credits.advance(432);  // title at y = 200
    ASSERT_EQ(credits.lineY(), 200.0f);
    beginScreenFrame();
    credits.draw();
    const auto title = pixel(105, 208);
    EXPECT_GT(title[0], 0);
    EXPECT_EQ(title[1], 0);
    EXPECT_GT(pixel(105, 190)[1], 0);      // rights notice, white, 16 below
    EXPECT_EQ(sum(pixel(105, 144)), 0);    // the name lines start further right
    EXPECT_GT(pixel(155, 144)[1], 0);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f);
    expectBaseState("credits draw");
}

TEST_F(EffectsGl, FramesAllocateNothing) {
    Font font;
    font.build();
    FadeImage zoom, fade;
    zoom.init(noFile, FadeImage::zoom, 0);
    fade.init(noFile, FadeImage::fadeIn, 0);
    ExitBanner banner;
    Snowfall snow;
    snow.init();
    std::srand(5);
    snow.scatter();
    CreditsScroller credits;
    credits.setFont(&font);
    auto frame = [&](float dt) {
        beginScreenFrame();
        zoom.update(dt);
        fade.update(dt);
        banner.update(dt);
        snow.update(dt);
        credits.update(dt);
    };
    frame(1);  // the driver may set up its pipelines on first use
    const long before = allocations.load();
    for (int i = 0; i < 20; ++i) frame(50);  // flakes respawn, the credits wrap
    EXPECT_EQ(allocations.load(), before);
}

}  // namespace
