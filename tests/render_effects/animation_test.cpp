// Timing of the intro images, the farewell banner and the credits from sums of frame times,
// without a window (a missing image file makes no OpenGL call, and advance never draws).
#include <gtest/gtest.h>

#include "render/credits_scroller.h"
#include "render/exit_banner.h"
#include "render/fade_image.h"

namespace {

constexpr const char* noFile = "no-such-dir/no-such-image.bmp";

TEST(FadeImage, ReachesItsEndExactlyOnTime) {
    struct Case {
        int mode;
        float speed, dt, doneAtMs, end;
    };
    for (const Case c : {Case{FadeImage::zoom, 0, 1, 4000, 3}, Case{FadeImage::zoom, 0.5f, 16, 4000, 3},
                         Case{FadeImage::fadeIn, 0, 1, 5000, 1}, Case{FadeImage::fadeIn, 0, 40, 5000, 1},
                         Case{FadeImage::fadeIn, 0.001f, 1, 1000, 1}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " speed " << c.speed << " dt " << c.dt);
        FadeImage image;
        image.init(noFile, c.mode, c.speed);
        EXPECT_EQ(image.amount(), c.mode == FadeImage::zoom ? 1.0f : 0.0f);
        float ms = 0;
        while (!image.isDone() && ms < 100000) {
            image.advance(c.dt);
            ms += c.dt;
        }
        EXPECT_EQ(ms, c.doneAtMs);
        EXPECT_EQ(image.amount(), c.end);
    }
    FadeImage fade;
    fade.init(noFile, FadeImage::fadeIn, 0);
    EXPECT_EQ(fade.speed(), 0.0002f);
}

TEST(FadeImage, LongFrameOvershootsAndUnknownModeIsDoneAtOnce) {
    FadeImage zoom, fade;
    zoom.init(noFile, FadeImage::zoom, 0);
    fade.init(noFile, FadeImage::fadeIn, 0);
    zoom.advance(3999);
    fade.advance(4999);
    EXPECT_FALSE(zoom.isDone() || fade.isDone());
    zoom.advance(60000);
    fade.advance(60000);
    EXPECT_GT(zoom.amount(), 3.0f);
    EXPECT_GT(fade.amount(), 1.0f);
    EXPECT_TRUE(zoom.isDone() && fade.isDone());

    zoom.init(noFile, 2, 0);  // keeps the amount it had
    EXPECT_GT(zoom.amount(), 3.0f);
    FadeImage odd;
    odd.init(noFile, -1, 0.3f);
    EXPECT_TRUE(odd.isDone());
    odd.advance(1000);
    EXPECT_EQ(odd.amount(), 0.0f);
}

TEST(ExitBanner, CentredAfter8SecondsAndKeepsGoing) {
    ExitBanner banner;
    EXPECT_EQ(banner.x(), 8.0f);
    for (int i = 0; i < 8000; ++i) banner.advance(1);
    EXPECT_EQ(banner.x(), 0.0f);
    EXPECT_EQ(banner.scroll(), 40.0f);
    for (int i = 0; i < 100; ++i) banner.advance(16);
    EXPECT_FLOAT_EQ(banner.x(), -1.6f);
}

TEST(CreditsScroller, RoundsDownAndWrapsToZeroAt800) {
    CreditsScroller credits;
    EXPECT_EQ(credits.scrollY(), -16.0f);
    credits.update(31);  // without a font it only scrolls
    EXPECT_EQ(credits.scrollY(), -0.5f);
    EXPECT_EQ(credits.lineY(), -1.0f);  // floor, not truncation towards zero

    credits.restart();
    credits.advance(1631.8f);
    ASSERT_NEAR(credits.scrollY(), 799.9f, 1e-3);
    credits.advance(1);  // 799.9 -> 800.4
    EXPECT_EQ(credits.scrollY(), 0.0f);
    credits.restart();
    EXPECT_EQ(credits.scrollY(), -16.0f);
    credits.advance(1631);
    EXPECT_EQ(credits.scrollY(), 799.5f);
    credits.restart();
    credits.advance(1632);  // one long frame from the start wraps at once, to 0
    EXPECT_EQ(credits.scrollY(), 0.0f);
    credits.advance(1e7f);
    EXPECT_EQ(credits.scrollY(), 0.0f);
}

}  // namespace
