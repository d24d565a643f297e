// Timing of the intro images, the farewell banner and the credits, driven by sums of frame times
// without a window (a missing image file makes no OpenGL call, and advance never draws).
#include <gtest/gtest.h>

#include "render/credits_scroller.h"
#include "render/exit_banner.h"
#include "render/fade_image.h"

namespace {

constexpr const char* noFile = "no-such-dir/no-such-image.bmp";

// Advances in frames of `dt` until done; returns the elapsed ms at which isDone first held.
float msUntilDone(FadeImage& image, float dt, int maxFrames = 100000) {
    float ms = 0;
    for (int i = 0; i < maxFrames && !image.isDone(); ++i) {
        image.advance(dt);
        ms += dt;
    }
    return ms;
}

TEST(FadeImage, StartsFadedOutAndUninitialised) {
    FadeImage image;
    EXPECT_EQ(image.mode(), FadeImage::fadeIn);
    EXPECT_EQ(image.amount(), 0.0f);
    EXPECT_EQ(image.speed(), 0.0f);
    EXPECT_FALSE(image.isDone());
}

TEST(FadeImage, ZoomIsDoneExactlyAfter4000ms) {
    for (float dt : {1.0f, 16.0f, 40.0f}) {
        SCOPED_TRACE(dt);
        FadeImage image;
        image.init(noFile, FadeImage::zoom, 0);
        EXPECT_EQ(image.amount(), 1.0f);
        EXPECT_FALSE(image.isDone());
        EXPECT_EQ(msUntilDone(image, dt), 4000.0f);
        EXPECT_EQ(image.amount(), 3.0f);
    }
    FadeImage half;
    half.init(noFile, FadeImage::zoom, 0.5f);  // the speed does not matter to a zoom
    half.advance(2000);
    EXPECT_EQ(half.amount(), 2.0f);
    EXPECT_FALSE(half.isDone());
}

TEST(FadeImage, FadeInTakes5000msByDefaultAnd1000msAtSpeed0001) {
    FadeImage slow, fast;
    slow.init(noFile, FadeImage::fadeIn, 0);
    fast.init(noFile, FadeImage::fadeIn, 0.001f);
    EXPECT_EQ(slow.speed(), 0.0002f);
    EXPECT_EQ(fast.speed(), 0.001f);
    EXPECT_EQ(slow.amount(), 0.0f);
    EXPECT_EQ(msUntilDone(slow, 1), 5000.0f);
    EXPECT_EQ(msUntilDone(fast, 1), 1000.0f);
    EXPECT_EQ(slow.amount(), 1.0f);
    EXPECT_EQ(fast.amount(), 1.0f);
}

TEST(FadeImage, LongFrameOvershootsAndIsDone) {
    FadeImage zoom, fade;
    zoom.init(noFile, FadeImage::zoom, 0);
    fade.init(noFile, FadeImage::fadeIn, 0);
    zoom.advance(3999);
    fade.advance(4999);
    EXPECT_FALSE(zoom.isDone());
    EXPECT_FALSE(fade.isDone());
    zoom.advance(60000);
    fade.advance(60000);
    EXPECT_GT(zoom.amount(), 3.0f);
    EXPECT_GT(fade.amount(), 1.0f);
    EXPECT_TRUE(zoom.isDone());
    EXPECT_TRUE(fade.isDone());
}

TEST(FadeImage, UnknownModeKeepsAmountAndIsDoneAtOnce) {
    FadeImage image;
    image.init(noFile, FadeImage::zoom, 0);
    image.advance(1000);
    image.init(noFile, 2, 0);
    EXPECT_EQ(image.amount(), 1.5f);
    EXPECT_TRUE(image.isDone());
    image.advance(1000);
    EXPECT_EQ(image.amount(), 1.5f);

    FadeImage negative;
    negative.init(noFile, -1, 0.3f);
    EXPECT_EQ(negative.amount(), 0.0f);
    EXPECT_EQ(negative.speed(), 0.3f);
    EXPECT_TRUE(negative.isDone());
}

TEST(ExitBanner, CentredAfter8SecondsAndKeepsGoing) {
    ExitBanner banner;
    EXPECT_EQ(banner.x(), 8.0f);
    EXPECT_EQ(banner.scroll(), 0.0f);
    for (int i = 0; i < 8000; ++i) banner.advance(1);
    EXPECT_EQ(banner.x(), 0.0f);
    EXPECT_EQ(banner.scroll(), 40.0f);
    for (int i = 0; i < 100; ++i) banner.advance(16);
    EXPECT_FLOAT_EQ(banner.x(), -1.6f);
    EXPECT_FLOAT_EQ(banner.scroll(), 48.0f);
}

TEST(CreditsScroller, StartsBelowTheScreenAndRoundsDown) {
    CreditsScroller credits;
    EXPECT_EQ(credits.font(), nullptr);
    EXPECT_EQ(credits.scrollY(), -16.0f);
    EXPECT_EQ(credits.lineY(), -16.0f);
    credits.advance(31);
    EXPECT_EQ(credits.scrollY(), -0.5f);
    EXPECT_EQ(credits.lineY(), -1.0f);  // floor, not truncation towards zero
    credits.advance(1);
    EXPECT_EQ(credits.lineY(), 0.0f);
    credits.advance(201);
    EXPECT_EQ(credits.scrollY(), 100.5f);
    EXPECT_EQ(credits.lineY(), 100.0f);
    credits.restart();
    EXPECT_EQ(credits.scrollY(), -16.0f);
}

TEST(CreditsScroller, WrapsToZeroAt800) {
    CreditsScroller credits;
    credits.advance(1631.8f);
    ASSERT_LT(credits.scrollY(), 800.0f);
    EXPECT_NEAR(credits.scrollY(), 799.9f, 1e-3);
    credits.advance(1);  // 799.9 -> 800.4
    EXPECT_EQ(credits.scrollY(), 0.0f);
    EXPECT_EQ(credits.lineY(), 0.0f);

    credits.restart();
    credits.advance(1631);
    EXPECT_EQ(credits.scrollY(), 799.5f);
    credits.restart();
    credits.advance(1632);  // one long frame from the start
    EXPECT_EQ(credits.scrollY(), 0.0f);
    credits.advance(1e7f);  // wraps to 0, not to the remainder
    EXPECT_EQ(credits.scrollY(), 0.0f);
}

TEST(CreditsScroller, UpdateWithoutFontOnlyScrolls) {
    CreditsScroller credits;
    credits.update(40);  // would dereference a null font if it drew
    EXPECT_EQ(credits.scrollY(), 4.0f);
}

}  // namespace
