// The effects drawn in a real window: where they put light, that every update leaves the OpenGL
// base state as it found it, and that frames allocate nothing. No image files are loaded, so
// everything is drawn untextured in its colour.
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "render/credits_scroller.h"
#include "render/exit_banner.h"
#include "render/fade_image.h"
#include "render/font.h"
#include "render/snowfall.h"
#include "support/counting_new.h"
#include "support/gl_test_window.h"
#include "support/temp_dir.h"


namespace {

constexpr const char* noFile = "no-such-dir/no-such-image.bmp";

int sum(const std::array<int, 3>& rgb) { return rgb[0] + rgb[1] + rgb[2]; }

class EffectsGl : public GlTestWindow {
protected:
    // Runs in an empty directory, so that the fixed data/ names find none of the game's images.
    static void SetUpTestSuite() {
        GlTestWindow::SetUpTestSuite();
        static TempDir empty;
        ASSERT_EQ(chdir(empty.path().c_str()), 0);
    }
    // The intro and farewell screens draw 5 units in front of the eye.
    static void beginScreenFrame() {
        beginFrame();
        glTranslatef(0, 0, -5);
    }
    static std::array<int, 3> at(double x, double y, double z = 0) {
        const auto p = project(x, y, z);
        return pixel(static_cast<int>(p[0]), static_cast<int>(p[1]));
    }
    static long wholeScreen() { return brightness(0, 0, 640, 480); }
    // Highest window y of the polygons `draw` sends down the pipeline, or -1 for none.
    template <typename Draw>
    static float topOfPolygons(Draw draw) {
        static GLfloat buffer[4096];
        glFeedbackBuffer(4096, GL_2D, buffer);
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint n = glRenderMode(GL_RENDER);
        float top = -1;
        for (GLint i = 0; i + 1 < n && buffer[i] == GL_POLYGON_TOKEN; i += 2 + 2 * static_cast<GLint>(buffer[i + 1]))
            for (GLint v = 0; v < buffer[i + 1]; ++v) top = std::max(top, buffer[i + 3 + 2 * v]);
        return top;
    }
};

TEST_F(EffectsGl, FadeImagesZoomAndFadeWhereExpected) {
    FadeImage zoom;
    zoom.init(noFile, FadeImage::zoom, 0);
    beginScreenFrame();
    zoom.update(0);
    expectBaseState("zoom at scale 1");
    const int centre = sum(at(0, 0));
    EXPECT_GT(centre, 0);
    EXPECT_EQ(sum(at(0, 0.75)), 0);  // the 2 x 1 quad ends at y = 0.5
    beginScreenFrame();
    zoom.update(2000);  // scale 2, alpha 1/3
    EXPECT_GT(sum(at(0, 0.75)), 0);
    EXPECT_EQ(sum(at(0, 1.25)), 0);
    EXPECT_LT(sum(at(0, 0)), centre);
    zoom.advance(1999);
    beginScreenFrame();
    const double top = project(0, 1.5, 0)[1];
    EXPECT_NEAR(topOfPolygons([&] { zoom.update(1); }), top, 1.0);  // drawn at scale 3 when done
    EXPECT_TRUE(zoom.isDone());
    expectBaseState("zoom when done");

    FadeImage fade, odd;
    fade.init(noFile, FadeImage::fadeIn, 0.001f);
    odd.init(noFile, 5, 0);
    beginScreenFrame();
    fade.update(0);
    EXPECT_EQ(topOfPolygons([&] { odd.update(100); }), -1.0f);
    odd.draw();
    EXPECT_EQ(wholeScreen(), 0);  // alpha 0 and an unknown mode put no light anywhere
    beginScreenFrame();
    fade.update(500);
    const int half = sum(at(0, 0));
    beginScreenFrame();
    fade.update(500);
    EXPECT_GT(half, 0);
    EXPECT_GT(sum(at(0, 0)), half);
    expectBaseState("fadeIn and unknown mode");
}

TEST_F(EffectsGl, BannerSlidesAcrossTheRedGlow) {
    ExitBanner banner;
    beginScreenFrame();
    banner.update(0);
    expectBaseState("banner update");
    const auto left = at(-1, 0), right = at(1, 0);
    EXPECT_TRUE(left[0] > 0 && left[1] == 0 && left[2] == 0);  // glow only
    EXPECT_TRUE(right[1] > 0 && right[2] > 0);  // the banner, centred at x = 8, covers the right half
    banner.advance(8000);
    beginScreenFrame();
    banner.draw();
    EXPECT_TRUE(at(-1.9, 0)[1] > 0 && at(1.9, 0)[1] > 0);
    expectBaseState("banner draw");
}

TEST_F(EffectsGl, SnowflakeShowsOnlyWhenTurnedToTheViewer) {
    Snowfall snow;
    snow.init();
    for (Flake& f : snow.flakes()) f = Flake{1000, 0, 0, 0, 180, 0, 0.01f};  // parked off-screen
    Flake& flake = snow.flakes()[0];
    flake = Flake{0, 0, 0, 0, 180, 0, 0.01f};
    beginScreenFrame();
    snow.update(1);
    expectBaseState("snow update");
    EXPECT_GT(sum(at(0.4, -0.4)), 0);
    EXPECT_EQ(sum(at(0.7, 0)), 0);  // the quad is 1 x 1
    EXPECT_FLOAT_EQ(flake.y, -0.01f);  // moved after being drawn
    flake.angleY = 0;  // front face away from the viewer: culled
    beginScreenFrame();
    snow.update(0);
    EXPECT_EQ(wholeScreen(), 0);
    std::srand(31);
    snow.scatter();
    beginScreenFrame();
    snow.update(1);
    EXPECT_GT(wholeScreen(), 0);
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
    EXPECT_EQ(brightness(0, 30, 640, 480) + brightness(0, 0, 540, 30), 0);
    EXPECT_GT(brightness(550, 10, 630, 26), 0);

    credits.advance(432);  // title at y = 200
    beginScreenFrame();
    credits.draw();
    const auto title = pixel(105, 208);
    EXPECT_TRUE(title[0] > 0 && title[1] == 0);  // red
    EXPECT_GT(pixel(105, 190)[1], 0);             // rights notice, white, 16 below
    EXPECT_EQ(sum(pixel(105, 144)), 0);           // the name lines start further right
    EXPECT_GT(pixel(155, 144)[1], 0);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f);
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
    const long before = allocationCount();
    for (int i = 0; i < 20; ++i) frame(50);  // flakes respawn, the credits wrap
    EXPECT_EQ(allocationCount(), before);
}

}  // namespace
