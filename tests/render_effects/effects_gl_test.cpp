// SPDX-License-Identifier: MIT
// The effects drawn in a real window: where they put light, that every update leaves the OpenGL
// base state as it found it, and that frames allocate nothing. No image files are loaded, so
// everything is drawn untextured in its colour.
#include <unistd.h>

#include <algorithm>

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
    void SetUp() override {
        GlTestWindow::SetUp();
        if (!available_) return;
        font.build();  // without data/font.bmp every glyph is a solid quad
        credits.setFont(&font);
        snow.init();
        zoom.init(noFile, FadeImage::Mode::zoom, 0);
        fade.init(noFile, FadeImage::Mode::fadeIn, 0.001f);
    }
    // The intro and farewell screens draw 5 units in front of the eye.
    static void beginScreenFrame() {
        beginFrame();
        glTranslatef(0, 0, -5);
    }
    static std::array<int, 3> at(double x, double y) {
        const auto p = project(x, y, 0);
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
    Font font;
    CreditsScroller credits;
    Snowfall snow;
    ExitBanner banner;
    FadeImage zoom, fade;
};

TEST_F(EffectsGl, FadeImagesZoomAndFadeWhereExpected) {
    beginScreenFrame();
    zoom.update(0);
    expectBaseState("zoom update");
    EXPECT_GT(sum(at(0, 0)), 0);
    EXPECT_EQ(sum(at(0, 0.75)), 0);  // the 2 x 1 quad ends at y = 0.5
    beginScreenFrame();
    zoom.update(2000);  // scale 2, alpha 1/3
    EXPECT_TRUE(sum(at(0, 0.75)) > 0 && sum(at(0, 1.25)) == 0);
    zoom.advance(1999);
    beginScreenFrame();  // done on the frame that reaches 4000 ms, and drawn at scale 3 on it
    EXPECT_NEAR(topOfPolygons([&] { zoom.update(1); }), project(0, 1.5, 0)[1], 1.0);
    EXPECT_TRUE(zoom.isDone());

    beginScreenFrame();
    fade.update(0);
    EXPECT_EQ(wholeScreen(), 0);  // alpha 0 puts no light anywhere
    beginScreenFrame();
    fade.update(500);
    const int half = sum(at(0, 0));
    beginScreenFrame();
    fade.update(500);
    EXPECT_TRUE(half > 0 && sum(at(0, 0)) > half);
    expectBaseState("fadeIn");
}

TEST_F(EffectsGl, BannerSlidesAcrossTheRedGlow) {
    beginScreenFrame();
    banner.update(0);
    expectBaseState("banner update");
    const auto left = at(-1, 0), right = at(1, 0);
    EXPECT_TRUE(left[0] > 0 && left[1] == 0 && left[2] == 0);  // glow only
    EXPECT_TRUE(right[1] > 0 && right[2] > 0);                 // the banner, centred at x = 8, covers the right half
    banner.advance(8000);
    beginScreenFrame();
    banner.draw();
    EXPECT_TRUE(at(-1.9, 0)[1] > 0 && at(1.9, 0)[1] > 0);
    expectBaseState("banner draw");
}

TEST_F(EffectsGl, SnowflakeShowsWhereItIsAndMovesAfterDrawing) {
    for (Flake& f : snow.flakes()) f = Flake{1000, 0, 0, 0, 180, 0, 0.01f};  // parked off-screen
    Flake& flake = snow.flakes()[0];
    flake.x = 0;
    beginScreenFrame();
    snow.update(1);
    expectBaseState("snow update");
    EXPECT_TRUE(sum(at(0.4, -0.4)) > 0 && sum(at(0.7, 0)) == 0);  // the quad is 1 x 1
    EXPECT_FLOAT_EQ(flake.y, -0.01f);                             // moved after being drawn
}

TEST_F(EffectsGl, CreditsShowOnlyTheHintUntilTheyScrollIn) {
    beginScreenFrame();
    credits.update(0);
    expectBaseState("credits update");
    EXPECT_EQ(brightness(0, 30, 640, 480) + brightness(0, 0, 540, 30), 0);
    EXPECT_GT(brightness(550, 10, 630, 26), 0);
    credits.advance(432);  // title at y = 200
    glColor3f(0, 0, 1);
    beginScreenFrame();
    credits.draw();
    const auto title = pixel(105, 208);
    EXPECT_TRUE(title[0] > 0 && title[1] == 0);  // red
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f);
}

TEST_F(EffectsGl, FramesAllocateNothing) {
    snow.scatter();
    auto frame = [&] {
        beginScreenFrame();
        for (FadeImage* image : {&zoom, &fade}) image->update(50);
        banner.update(50);
        snow.update(50);
        credits.update(50);
    };
    frame();  // the driver may set up its pipelines on first use
    const long before = allocationCount();
    for (int i = 0; i < 20; ++i) frame();  // flakes respawn, the credits wrap
    EXPECT_EQ(allocationCount(), before);
}

}  // namespace
