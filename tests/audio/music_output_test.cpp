// The real sound layer and Music, heard through SDL's disk audio driver. Each test starts the
// output, plays for a fraction of a second of real time and then examines what was written.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "audio/disk_capture.h"
#include "audio/mp3_tone.h"
#include "audio/music.h"
#include "audio/sound_system.h"
#include "support/temp_dir.h"

namespace {

constexpr int kRate = 44100;
constexpr size_t kQuarter = kRate / 4;
constexpr size_t kNone = static_cast<size_t>(-1);
// Frames mixed before a stopAll can still reach the file after it returns.
constexpr size_t kOutputLag = 4096;

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Frame-indexed views of interleaved stereo samples, left channel.
size_t firstSound(const std::vector<int16_t>& s, size_t from) {
    for (size_t f = from; f < s.size() / 2; ++f)
        if (s[2 * f] != 0) return f;
    return kNone;
}

size_t lastSound(const std::vector<int16_t>& s, size_t from, size_t to) {
    size_t last = kNone;
    for (size_t f = from; f < std::min(to, s.size() / 2); ++f)
        if (s[2 * f] != 0 || s[2 * f + 1] != 0) last = f;
    return last;
}

// Pitch in Hz from the rising zero crossings of frames [from, from + frames).
double pitch(const std::vector<int16_t>& s, size_t from, size_t frames) {
    int rising = 0;
    for (size_t f = from + 1; f < from + frames && f < s.size() / 2; ++f)
        if (s[2 * (f - 1)] < 0 && s[2 * f] >= 0) ++rising;
    return rising * double(kRate) / double(frames);
}

// Longest run of frames quieter than `level` in [from, to): a gap in a continuous tone.
size_t longestQuiet(const std::vector<int16_t>& s, size_t from, size_t to, int level) {
    size_t run = 0, longest = 0;
    for (size_t f = from; f < to; ++f) {
        run = std::abs(s[2 * f]) < level ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

class MusicOutput : public ::testing::Test {
protected:
    // Background: a quarter second at 400 Hz, then at 800 Hz; whole cycles, so it loops smoothly.
    const std::vector<int16_t> background_ =
        toneSamples({{400, kQuarter}, {800, kQuarter}}, kRate, 2, 0.5);
    // Farewell: 0.3 s at 600 Hz.
    const std::vector<int16_t> farewell_ = toneSamples({{600, 13230}}, kRate, 2, 0.5);

    void SetUp() override {
        std::filesystem::create_directory(dir_.file("data"));
        oldDir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
    }
    void TearDown() override { std::filesystem::current_path(oldDir_); }

    // Lets the output run until `frames` more frames have been written (10 s at most); returns the
    // frame count reached. Counting frames keeps the tests independent of the machine's load.
    size_t playFor(size_t frames) {
        const size_t target = capture_.frames() + frames;
        for (int i = 0; i < 1000 && capture_.frames() < target; ++i) sleepMs(10);
        return capture_.frames();
    }

    void writeTunes() {
        dir_.write("data/background.mp3", encodeMp3(background_, kRate, 2));
        dir_.write("data/merry_christmas.mp3", encodeMp3(farewell_, kRate, 2));
    }

    TempDir dir_;
    DiskCapture capture_{dir_.file("out.raw")};
    std::filesystem::path oldDir_;
};

TEST_F(MusicOutput, BackgroundTuneFollowsItsNotesLoopsSeamlesslyAndStops) {
    writeTunes();
    const size_t period = background_.size() / 2;
    size_t beforePlay = 0, atStop = 0;
    {
        Music music;
        music.init();
        ASSERT_NE(music.backgroundStream(), nullptr);
        music.playTune(2);
        music.playTune(-1);
        beforePlay = playFor(kQuarter);
        music.playTune(1);
        atStop = playFor(2 * period + 2 * kOutputLag);
        music.stopAll();
        playFor(3 * kOutputLag);
    }
    const std::vector<int16_t> s = capture_.samples();
    const size_t start = firstSound(s, 0);
    ASSERT_NE(start, kNone);
    EXPECT_GE(start, beforePlay) << "tune numbers other than 0 and 1 made a sound";
    ASSERT_GT(atStop, start + 2 * period + kOutputLag) << "output too slow to hear two loops";

    for (size_t q = 0; q < 4; ++q)
        EXPECT_NEAR(pitch(s, start + q * kQuarter + 200, kQuarter - 400), q % 2 ? 800 : 400, 8) << "quarter " << q;
    // Each pass decodes the same samples, so the output repeats with exactly the file's length:
    // nothing is inserted (encoder padding, a gap) or lost at the seam.
    int worst = 0;
    for (size_t f = start; f < start + period; ++f)
        worst = std::max(worst, std::abs(s[2 * f] - s[2 * (f + period)]));
    EXPECT_LE(worst, 2);
    EXPECT_LT(longestQuiet(s, start, start + 2 * period, 200), 8u);

    ASSERT_GT(s.size() / 2, atStop + 2 * kOutputLag);
    EXPECT_EQ(lastSound(s, atStop + kOutputLag, s.size()), kNone) << "still sounding after stopAll";
}

TEST_F(MusicOutput, FarewellTunePlaysOnceEachTimeItIsStarted) {
    writeTunes();
    const size_t length = farewell_.size() / 2;
    size_t secondPlay = 0;
    {
        Music music;
        music.init();
        music.playTune(0);
        secondPlay = playFor(length + kQuarter + kOutputLag);
        music.playTune(0);
        playFor(length + kQuarter + kOutputLag);
    }
    const std::vector<int16_t> s = capture_.samples();
    for (size_t from : {size_t{0}, secondPlay}) {
        const size_t start = firstSound(s, from);
        ASSERT_NE(start, kNone);
        const size_t end = lastSound(s, from, from == 0 ? secondPlay : s.size());
        // The whole tune, without the encoder's padding, and then silence.
        EXPECT_GT(end - start, length - 100);
        EXPECT_LE(end - start, length);
        EXPECT_NEAR(pitch(s, start + 200, length - 400), 600, 8);
        EXPECT_GT(from == 0 ? secondPlay : s.size() / 2, end + kQuarter);
    }
}

TEST_F(MusicOutput, StreamsMixWithClippingAndConvertRateAndChannels) {
    const std::vector<int16_t> loud = toneSamples({{400, 2 * kQuarter}}, kRate, 2, 0.9);
    dir_.write("loud.mp3", encodeMp3(loud, kRate, 2));
    // Mono at half the rate: must still sound at 400 Hz for half a second.
    dir_.write("mono.mp3", encodeMp3(toneSamples({{400, kRate / 4}}, kRate / 2, 1, 0.5), kRate / 2, 1));
    size_t monoFrom = 0;
    {
        SoundSystem sound;
        ASSERT_TRUE(sound.init(kRate, 64, 0));
        SoundStream* a = sound.openStream("loud.mp3", 0);
        SoundStream* b = sound.openStream("loud.mp3", 0);
        SoundStream* mono = sound.openStream("mono.mp3", 0);
        ASSERT_TRUE(a && b && mono);
        SDL_LockAudio();  // both start in the same mixer pass, in phase
        EXPECT_EQ(sound.playStream(a), 0);
        EXPECT_EQ(sound.playStream(b), 1);
        EXPECT_EQ(sound.playStream(a), 0) << "a playing stream keeps its channel";
        SDL_UnlockAudio();
        monoFrom = playFor(loud.size() / 2 + kOutputLag);
        EXPECT_EQ(sound.playingChannels(), 0) << "finished streams free their channels";
        EXPECT_EQ(sound.playStream(mono), 0);
        playFor(2 * kQuarter + kOutputLag);
    }
    const std::vector<int16_t> s = capture_.samples();
    const size_t start = firstSound(s, 0);
    ASSERT_NE(start, kNone);
    int clipped = 0, steepest = 0;
    for (size_t f = start + 1; f < start + loud.size() / 2; ++f) {
        clipped += std::abs(s[2 * f]) >= 32767;
        steepest = std::max(steepest, std::abs(s[2 * f] - s[2 * f - 2]));
    }
    EXPECT_GT(clipped, 1000);
    EXPECT_LT(steepest, 8000) << "the sum wrapped round instead of clipping";

    const size_t monoStart = firstSound(s, monoFrom);
    ASSERT_NE(monoStart, kNone);
    EXPECT_NEAR(pitch(s, monoStart + 200, 2 * kQuarter - 400), 400, 8);
    EXPECT_NEAR(double(lastSound(s, monoStart, s.size()) - monoStart), 2.0 * kQuarter, 100);
    for (size_t f = monoStart; f < monoStart + 1000; ++f) ASSERT_EQ(s[2 * f], s[2 * f + 1]);
}

TEST_F(MusicOutput, BrokenFilesStaySilentAndPrintNothing) {
    const std::string good = encodeMp3(farewell_, kRate, 2);
    std::mt19937 random(7);
    std::string noise(8192, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    dir_.write("data/background.mp3", noise);
    dir_.write("data/merry_christmas.mp3", good.substr(0, 600));  // tag frame and part of the next
    dir_.write("empty.mp3", "");
    dir_.write("text.mp3", "not a tune\n");

    testing::internal::CaptureStdout();
    {
        Music music;
        music.init();
        EXPECT_TRUE(music.initialised());
        EXPECT_EQ(music.farewellStream(), nullptr);
        EXPECT_EQ(music.backgroundStream(), nullptr);
        music.playTune(0);
        music.playTune(1);
        playFor(kQuarter);
        music.stopAll();
        music.playTune(1);
    }
    const std::vector<int16_t> heard = capture_.samples();
    EXPECT_GT(heard.size() / 2, kQuarter);
    EXPECT_EQ(lastSound(heard, 0, heard.size()), kNone);
    {
        SoundSystem sound;  // reopens the output file
        ASSERT_TRUE(sound.init(kRate, 64, 0));
        for (const char* name : {"missing.mp3", "empty.mp3", "text.mp3", "data"})
            EXPECT_EQ(sound.openStream(name, SoundLayer::LoopNormal), nullptr) << name;
        EXPECT_EQ(sound.playStream(nullptr), -1);
        playFor(kOutputLag);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(MusicOutput, NoAudioDeviceIsHarmless) {
    writeTunes();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    {
        Music music;
        music.init();
        EXPECT_EQ(music.backgroundStream(), nullptr);
        music.playTune(1);
        music.playTune(0);
        music.stopAll();
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(MusicOutput, ClosingAfterSdlQuitIsSafe) {
    writeTunes();
    {
        Music music;
        music.init();
        music.playTune(1);
        sleepMs(100);
        SDL_Quit();  // as the game does before its Music is destroyed
    }
    Music again;
    again.init();
    EXPECT_NE(again.backgroundStream(), nullptr) << "the output starts again after a clean close";
}

}  // namespace
