// SPDX-License-Identifier: MIT
// Intro images, farewell banner, snowfall and credits: their timing, the snow's use of rand(), and
// what they draw where in a real window. No image file is there, so everything is drawn
// untextured in its colour and every glyph as a solid 16 x 16 quad.
#include <cmath>
#include <cstdlib>

#include "render/credits_scroller.h"
#include "render/exit_banner.h"
#include "render/fade_image.h"
#include "render/font.h"
#include "render/snowfall.h"
#include "support/gl_test_window.h"

namespace {

using Effects = GlTestWindow;

// Whether the quad (-w, -h)..(w, h) at z = 0 of the current matrices lights the pixel just inside its
// corner (w, h) and leaves the one just outside black.
bool fills(double w, double h) { return Effects::at(w * .96, h * .96)[0] && Effects::at(w / .96, h / .96) == Pixel{}; }

// Drawn 10 units away, the zoom shows the 2 x 1 quad at scale 1 and 2, and nothing on the frame that
// reaches scale 3, where its alpha is 0; the fade shows nothing at first, then the quad unscaled.
// Their timing (each done on the frame that reaches its end exactly, or by one long frame) shows
// in the Application's screen changes, which its own test checks.
TEST_F(Effects, IntroImagesZoomOutOrFadeIn) {
    FadeImage zoom, fade;
    zoom.init("none.bmp", FadeImage::Mode::zoom, 0);
    fade.init("none.bmp", FadeImage::Mode::fadeIn, 0.001f);
    for (int i = 0; i < 3; ++i) {
        beginFrame(-10);
        expectBaseState("zoom", [&] { zoom.update(i ? 2000 : 0); });
        EXPECT_TRUE(i == 2 ? at(0, 0) == Pixel{} : fills(1 + i, 0.5 + i / 2.0)) << i;
        beginFrame(-10);
        expectBaseState("fade", [&] { fade.update(i ? 500 : 0); });
        EXPECT_TRUE(i == 0 ? at(0, 0) == Pixel{} : fills(1, 0.5)) << i;
    }
}

// The farewell banner slides left over the red glow by a unit a second from x = 8: left of its
// edge, 5 units away, the glow alone; right of it the white banner added to the glow.
TEST_F(Effects, TheFarewellBannerSlidesLeftAUnitASecondLitAlikeWhateverWasDrawnBefore) {
    ExitBanner banner;
    beginFrame(-5);
    expectBaseState("banner", [&] { banner.update(1000); });
    const Pixel glow = at(-1.1, 0), added = at(-0.9, 0);  // its left edge at 7 - 8
    EXPECT_EQ(std::tuple(glow[0] > 0, glow[1], added[1] > 0), std::tuple(true, 0, true)) << glow[0] << " " << added[1];
    // Both quads are lit as facing the viewer, whatever normal the drawing before left: after a
    // board, whose last cube face looks left, the farewell looks as on a fresh start.
    const auto look = [] { return std::array{at(-1.1, 0), at(-0.9, 0), at(1, 1.5), at(-3, -4)}; };
    const auto fresh = look();
    glNormal3f(-1, 0, 0);
    beginFrame(-5);
    banner.draw();
    EXPECT_EQ(look(), fresh);
    for (int ms = 1000; ms < 8000; ++ms) banner.advance(1);
    EXPECT_EQ(banner.x(), 0.0f);  // centred after 8 s
}

// A flake turned by three different angles shows its corners where translating it, then turning it
// about x, then y, then z puts them, and moves only after it is drawn. Every value comes from rand()
// in the documented order: x from two, y (on scatter only; a respawn puts it at 60), z, the three
// angles, the speed in five steps (ten on respawn).
TEST_F(Effects, SnowflakesAreTurnedAboutXThenYThenZAndTakeTheirRandValuesInOrder) {
    Snowfall snow;
    for (Flake& f : snow.flakes()) f = Flake{1000, 0, 0, 0, 0, 0, 0};  // parked off-screen
    Flake& flake = snow.flakes()[0] = Flake{0.3f, -0.2f, -1, 30, 200, 70, 0.01f};
    beginFrame(-5);
    expectBaseState("snow", [&] { snow.update(100); });
    glTranslatef(0.3f, -0.2f, -1);
    glRotatef(30, 1, 0, 0);
    glRotatef(200, 0, 1, 0);
    glRotatef(70, 0, 0, 1);
    for (auto [x, y] : {std::pair{0.5, 0.5}, {-0.5, 0.5}, {-0.5, -0.5}, {0.5, -0.5}})
        EXPECT_TRUE(fills(x, y)) << x << " " << y;
    EXPECT_NEAR(flake.y, -1.2f, 1e-5f);
    EXPECT_EQ((std::array{flake.angleX, flake.angleY, flake.angleZ}), (std::array{40.0f, 210.0f, 80.0f}));

    // Lit the same whatever normal the drawing before left.
    const auto litAfter = [&](float nx, float nz) {
        glNormal3f(nx, 0, nz);
        beginFrame(-5);
        snow.update(0);
        return at(0.3, -1.2, -1);
    };
    EXPECT_EQ(litAfter(1, 0), litAfter(0, 1));
    EXPECT_NE(litAfter(0, 1), Pixel{});

    std::vector<int> r(8015);
    std::srand(12345);
    for (int& v : r) v = std::rand();
    const auto madeOf = [](const Flake& f, const int* v, bool scatter) {
        const int* a = v + (scatter ? 4 : 3);  // the values after x, y and z
        const int y = scatter ? v[2] % 60 - 20 : 60, steps = scatter ? 5 : 10;
        const std::array want{v[0] % 30 - v[1] % 30, y, -(a[-1] % 50), a[0] % 360, a[1] % 360, a[2] % 360,
                              a[3] % steps + 1};
        const std::array got{f.x, f.y, f.z, f.angleX, f.angleY, f.angleZ, f.fallSpeed * 100};
        for (int i = 0; i < 7; ++i) EXPECT_NEAR(got[i], want[i], 1e-4) << "field " << i;
    };
    std::srand(12345);
    snow.scatter();
    for (int i = 0; i < 1000 && !HasFailure(); ++i) madeOf(snow.flakes()[i], &r[8 * i], true);
    // Once a flake reaches y = -30 exactly (not at -29.99) it respawns, in array order, taking seven
    // values; a frame of 0 ms moves nothing and takes none.
    for (Flake& f : snow.flakes()) f = Flake{0, 10, -5, 0, 0, 0, 0.5f};
    snow.flakes()[3].y = snow.flakes()[900].y = -25;
    snow.flakes()[4].y = -24.99f;
    snow.update(0);
    snow.update(10);
    madeOf(snow.flakes()[3], &r[8000], false);
    madeOf(snow.flakes()[900], &r[8007], false);
    EXPECT_EQ(std::rand(), r[8014]);
    EXPECT_NEAR(snow.flakes()[4].y, -29.99f, 1e-4f);
    EXPECT_EQ(snow.flakes()[0].y, 5);
}

// The hint in the colour current before, the title red at its scroll position rounded down, the
// other lines white; the scroll starts again from 0 once it reaches 800.
TEST_F(Effects, CreditsScrollSixtyUnitsASecondBehindAFixedHint) {
    Font font;
    font.build();
    CreditsScroller credits;
    credits.setFont(&font);
    // From 799.88 to 800.48, and in one long frame from the start past 800: both wrap to 0.
    for (auto [first, second] : {std::pair{13598.0f, 10.0f}, {13601.0f, 0.0f}}) {
        credits.restart();
        credits.advance(first);
        credits.advance(second);
        EXPECT_EQ(credits.scrollY(), 0.0f) << first;
    }
    credits.restart();
    glColor3f(0, 0, 1);
    expectBaseState("credits", [&] { credits.update(262); });  // from -16 to -0.28: the title at -1
    EXPECT_EQ((std::array{pixel(555, 15), pixel(105, 14), pixel(105, 15)}),
              (std::array<Pixel, 3>{{{0, 0, 255}, {255, 0, 0}}}));
    credits.advance(3600);  // the title at 215, the next line 16 below
    beginFrame(-5);
    credits.draw();
    EXPECT_EQ((std::array{pixel(105, 220), pixel(105, 205)}), (std::array<Pixel, 2>{{{255, 0, 0}, {255, 255, 255}}}));
}

}  // namespace
