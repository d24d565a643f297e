// SPDX-License-Identifier: MIT
// Timing of the intro images, the farewell banner and the credits from sums of frame times,
// without a window (a missing image file makes no OpenGL call, and advance never draws).
#include <gtest/gtest.h>

#include "render/credits_scroller.h"
#include "render/exit_banner.h"
#include "render/fade_image.h"

namespace {

constexpr const char* noFile = "no-such-dir/no-such-image.bmp";

TEST(FadeImage, ReachesItsEndExactlyOnTimeAndOvershootsOnALongFrame) {
    struct Case {
        FadeImage::Mode mode;
        float speed, dt, doneAtMs, end;
    };
    for (const Case c : {Case{FadeImage::Mode::zoom, 0.5f, 16, 4000, 3}, Case{FadeImage::Mode::fadeIn, 0, 1, 5000, 1},
                         Case{FadeImage::Mode::fadeIn, 0.001f, 1, 1000, 1}}) {
        SCOPED_TRACE(testing::Message() << "end " << c.end << " speed " << c.speed);
        FadeImage image;
        image.init(noFile, c.mode, c.speed);
        float ms = 0;
        for (; !image.isDone() && ms < 100000; ms += c.dt) image.advance(c.dt);
        EXPECT_EQ(ms, c.doneAtMs);
        EXPECT_EQ(image.amount(), c.end);
        FadeImage jump;  // one huge frame just before the end overshoots it
        jump.init(noFile, c.mode, c.speed);
        jump.advance(c.doneAtMs - 1);
        EXPECT_FALSE(jump.isDone());
        jump.advance(60000);
        EXPECT_TRUE(jump.isDone() && jump.amount() > c.end);
    }
}

TEST(ExitBanner, CentredAfter8SecondsAndKeepsGoing) {
    ExitBanner banner;
    for (int i = 0; i < 8000; ++i) banner.advance(1);
    EXPECT_EQ(banner.x(), 0.0f);
    for (int i = 0; i < 100; ++i) banner.advance(16);
    EXPECT_FLOAT_EQ(banner.x(), -1.6f);
}

TEST(CreditsScroller, RoundsDownAndWrapsToZeroAt800) {
    CreditsScroller credits;
    credits.update(31);  // without a font it only scrolls
    EXPECT_EQ(credits.scrollY(), -0.5f);
    EXPECT_EQ(credits.lineY(), -1.0f);  // floor, not truncation towards zero
    credits.restart();
    EXPECT_EQ(credits.scrollY(), -16.0f);
    credits.advance(1631.8f);
    ASSERT_NEAR(credits.scrollY(), 799.9f, 1e-3);
    credits.advance(1);  // 799.9 -> 800.4
    EXPECT_EQ(credits.scrollY(), 0.0f);
    credits.restart();
    credits.advance(1632);  // one long frame from the start wraps at once, to 0
    EXPECT_EQ(credits.scrollY(), 0.0f);
}

}  // namespace
