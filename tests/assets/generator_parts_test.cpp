// The asset generator's plain parts: the BMP writer and area resampling, masks, the note-list
// reader and its tempo, and the looping mixdown.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "art_kit.h"
#include "image.h"
#include "mask.h"
#include "mixdown.h"
#include "score.h"

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(GeneratorImage, BmpIsBottomUpBgrWithPaddedRows) {
    Image img(3, 2);
    img.at(0, 0) = {1, 0, 0};    // top left red
    img.at(2, 1) = {0, 0, 1};    // bottom right blue
    img.at(1, 1) = {2, -1, 0.5f};  // out of range values are clamped
    const std::vector<uint8_t> b = img.bmpBytes();
    const size_t stride = 12;  // 9 bytes of pixels padded to 12
    ASSERT_EQ(b.size(), 54 + 2 * stride);
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 18), 3u);
    EXPECT_EQ(le32(b, 22), 2u);  // positive height: bottom row first
    EXPECT_EQ(b[28], 24);
    EXPECT_EQ(le32(b, 30), 0u);
    // First stored row is the bottom one: ..., (1,1) = clamped (255, 0, 128) as BGR, (2,1) blue.
    EXPECT_EQ(b[54 + 3], 128);
    EXPECT_EQ(b[54 + 4], 0);
    EXPECT_EQ(b[54 + 5], 255);
    EXPECT_EQ(b[54 + 6], 255);
    EXPECT_EQ(b[54 + 8], 0);
    EXPECT_EQ(b[54 + 9], 0);  // padding
    // Second stored row is the top one, red in BGR order.
    EXPECT_EQ(b[54 + stride + 0], 0);
    EXPECT_EQ(b[54 + stride + 2], 255);
}

TEST(GeneratorImage, ResamplingAveragesEachFootprint) {
    Image checker(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) checker.at(x, y) = (x + y) % 2 ? Rgb{1, 1, 1} : Rgb{0, 0, 0};
    const Image small = checker.resampled(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_NEAR(small.at(x, y).g, 0.5f, 1e-5f);
    // Three pixels into two: the middle one is shared half and half.
    Image row(3, 1);
    row.at(0, 0) = {0, 0, 0};
    row.at(1, 0) = {1, 1, 1};
    row.at(2, 0) = {0, 0, 0};
    const Image two = row.resampled(2, 1);
    EXPECT_NEAR(two.at(0, 0).r, 1.0f / 3, 1e-5f);
    EXPECT_NEAR(two.at(1, 0).r, 1.0f / 3, 1e-5f);
    // Enlarging keeps a flat colour flat.
    const Image big = Image(2, 2, {0.25f, 0.5f, 0.75f}).resampled(7, 5);
    EXPECT_NEAR(big.at(6, 4).b, 0.75f, 1e-5f);
}

TEST(GeneratorMask, DilateGrowsByTheRadiusAndBlurKeepsTheAmount) {
    Mask dot(11, 11);
    dot.at(5, 5) = 1;
    const Mask grown = dot.dilated(2);
    EXPECT_FLOAT_EQ(grown.get(6, 5), 1);
    EXPECT_FLOAT_EQ(grown.get(6, 6), 1);
    EXPECT_FLOAT_EQ(grown.get(5, 3), 0.5f);  // the edge runs through this pixel's centre
    EXPECT_FLOAT_EQ(grown.get(8, 5), 0);
    EXPECT_FLOAT_EQ(grown.get(-1, 5), 0);  // outside reads as empty
    const Mask soft = dot.blurred(1);
    float sum = 0;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x) sum += soft.get(x, y);
    EXPECT_NEAR(sum, 1.0f, 1e-4f);
    EXPECT_LT(soft.get(5, 5), 1.0f);
}

TEST(GeneratorScore, MelodiesAndChordsAreReadAndBarsChecked) {
    const auto notes = parseMelody("C4:1 F#4:0.5 Bb3:0.5 r:1 A4:1 | -:2 E5:2", 4, 1);
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes[0].midi, 60);
    EXPECT_DOUBLE_EQ(notes[0].beat, 1);
    EXPECT_EQ(notes[1].midi, 66);
    EXPECT_EQ(notes[2].midi, 58);
    EXPECT_EQ(notes[3].midi, -1);  // rest
    EXPECT_EQ(notes[4].midi, 69);
    EXPECT_DOUBLE_EQ(notes[4].beats, 3);  // tied over the bar line
    EXPECT_DOUBLE_EQ(notes[5].beat, 7);
    // A bar one beat short, an unknown pitch, a missing length, a tie with nothing to hold.
    EXPECT_THROW(parseMelody("C4:1 D4:1 E4:1 | C4:4", 4), std::runtime_error);
    EXPECT_THROW(parseMelody("H4:4", 4), std::runtime_error);
    EXPECT_THROW(parseMelody("C4 D4:3", 4), std::runtime_error);
    EXPECT_THROW(parseMelody("-:4", 4), std::runtime_error);

    const auto chords = parseChords("Am:1 D7:2 | F#:3", 3);
    ASSERT_EQ(chords.size(), 3u);
    EXPECT_EQ(chords[0].root, 9);
    EXPECT_EQ(chords[0].intervals, (std::vector<int>{0, 3, 7}));
    EXPECT_EQ(chords[1].intervals, (std::vector<int>{0, 4, 7, 10}));
    EXPECT_DOUBLE_EQ(chords[2].beat, 3);
    EXPECT_EQ(chords[2].root, 6);
    EXPECT_THROW(parseChords("Csus:3", 3), std::runtime_error);
}

TEST(GeneratorScore, TempoSlowsSmoothlyFromTheRitardando) {
    const Tempo steady(120);
    EXPECT_DOUBLE_EQ(steady.seconds(8), 4);
    const Tempo slowing(120, 4, 0.5);
    EXPECT_DOUBLE_EQ(slowing.seconds(4), 2);
    EXPECT_NEAR(slowing.seconds(4 + 1e-6), 2, 1e-5);  // no jump where it starts
    EXPECT_GT(slowing.span(6, 1), slowing.span(5, 1));  // each beat longer than the last
    EXPECT_DOUBLE_EQ(slowing.seconds(6), (4 + 2 + 0.5 * 4 / 2) * 0.5);
}

TEST(GeneratorMixdown, LoopWrapsSoundPastItsEndAndOneShotDropsIt) {
    Mixdown loop(100, true), once(100, false);
    loop.add(103, 0.5f, -0.5f);
    once.add(103, 0.5f, -0.5f);
    once.add(-1, 1, 1);
    EXPECT_FLOAT_EQ(loop.left()[3], 0.5f);
    EXPECT_FLOAT_EQ(loop.right()[3], -0.5f);
    loop.add(-1, 0.25f, 0);
    EXPECT_FLOAT_EQ(loop.left()[99], 0.25f);
    for (float v : once.left()) EXPECT_EQ(v, 0.0f);

    loop.normalise(0.7f);
    EXPECT_FLOAT_EQ(loop.peak(), 0.7f);
    Mixdown silent(10, false);
    silent.normalise(0.7f);  // nothing to scale, and no division by zero
    EXPECT_EQ(silent.peak(), 0.0f);
}

TEST(GeneratorMixdown, ReverbOfALoopsEndIsHeardAtItsStart) {
    Mixdown loop(44100, true), once(44100, false);
    for (Mixdown* m : {&loop, &once}) {
        m->add(44100 - 200, 1, 1);  // a click just before the end
        m->addReverb(0.5f, 0.5f);
    }
    double loopHead = 0, onceHead = 0;
    for (size_t i = 0; i < 4410; ++i) {
        loopHead += std::fabs(loop.left()[i]);
        onceHead += std::fabs(once.left()[i]);
    }
    EXPECT_GT(loopHead, 0.01);
    EXPECT_EQ(onceHead, 0.0);
}

}  // namespace

namespace {

TEST(GeneratorShapes, SnowflakeHasSixFoldMirrorSymmetry) {
    const float cx = 50, cy = 40, r = 30;
    Lcg rng(5);
    for (int i = 0; i < 200; ++i) {
        const float x = rng.range(10, 90), y = rng.range(0, 80);
        const float d = snowflakeDistance(x, y, cx, cy, r);
        const float a = static_cast<float>(M_PI) / 3;
        const float rx = cx + (x - cx) * std::cos(a) - (y - cy) * std::sin(a);
        const float ry = cy + (x - cx) * std::sin(a) + (y - cy) * std::cos(a);
        EXPECT_NEAR(snowflakeDistance(rx, ry, cx, cy, r), d, 1e-3f);
        EXPECT_NEAR(snowflakeDistance(2 * cx - x, y, cx, cy, r), d, 1e-3f);  // mirrored
    }
    EXPECT_LT(snowflakeDistance(cx, cy, cx, cy, r), 0);           // the plate in the middle
    EXPECT_LT(snowflakeDistance(cx, cy - 0.9f * r, cx, cy, r), 0);  // an arm straight up
    EXPECT_GT(snowflakeDistance(cx, cy - 1.2f * r, cx, cy, r), 0);  // beyond its tip
}

TEST(GeneratorShapes, PolygonDistanceIsSignedByWinding) {
    const std::vector<Vec2> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_FLOAT_EQ(polygonDistance(5, 5, square), -5);
    EXPECT_FLOAT_EQ(polygonDistance(13, 5, square), 3);
    std::vector<Vec2> reversed(square.rbegin(), square.rend());
    EXPECT_FLOAT_EQ(polygonDistance(5, 5, reversed), -5);  // either direction counts as inside
    const auto star = starPoints(0, 0, 10, 4, 5);
    EXPECT_LT(polygonDistance(0, -8, star), 0);  // inside the top tip
    EXPECT_GT(polygonDistance(7, -9, star), 0);  // between two tips
}

TEST(GeneratorShapes, TurnedImageAtNoAngleCopiesTheSource) {
    Image src(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) src.at(x, y) = {x / 3.0f, y / 3.0f, 0.5f};
    Image dst(8, 8);
    drawTurnedImage(dst, src, 4, 4, 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_NEAR(dst.at(2 + x, 2 + y).r, src.at(x, y).r, 1e-4f);
            EXPECT_NEAR(dst.at(2 + x, 2 + y).g, src.at(x, y).g, 1e-4f);
        }
    EXPECT_FLOAT_EQ(dst.at(1, 4).b, 0);  // nothing outside the square
}

TEST(GeneratorShapes, SnowLiesOnTopEdgesOnly) {
    Mask ink(40, 40);
    for (int y = 20; y < 30; ++y)
        for (int x = 10; x < 30; ++x) ink.at(x, y) = 1;
    const Mask caps = snowCaps(ink, 6, 1);
    EXPECT_GT(caps.get(20, 17), 0.5f);  // just above the top edge
    EXPECT_EQ(caps.get(20, 33), 0.0f);  // below the bottom edge
    EXPECT_EQ(caps.get(3, 25), 0.0f);   // beside the block
    EXPECT_EQ(caps.get(20, 5), 0.0f);   // high above it
}

}  // namespace
