// SPDX-License-Identifier: MIT
// The real sound layer and Music, heard through SDL's "disk" audio driver, which writes the output
// as raw signed 16-bit stereo to a file at about real-time pace. Each test plays tones encoded
// with LAME for a fraction of a second and then examines what was written.
#include <gtest/gtest.h>
#include <lame/lame.h>

#include <SDL.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <random>
#include <thread>

#include "audio/music.h"
#include "audio/sound_system.h"
#include "support/temp_dir.h"

namespace {

using Samples = std::vector<int16_t>;
constexpr int kRate = 44100;
constexpr size_t kQuarter = kRate / 4;
constexpr size_t kNone = static_cast<size_t>(-1);
constexpr size_t kOutputLag = 4096;  // frames mixed before a stopAll that can reach the file after it

// Stereo sines of (hz, frames) one after another, the phase running on so that whole-cycle
// segments join without a click; amplitude 0..1 of full scale.
Samples tone(std::initializer_list<std::pair<double, size_t>> segments, double amplitude) {
    Samples out;
    double phase = 0;
    for (auto [hz, frames] : segments)
        for (size_t i = 0; i < frames; ++i, phase += 2 * std::numbers::pi * hz / kRate)
            out.insert(out.end(), 2, static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(phase))));
    return out;
}

// The samples as an MP3 (128 kbit/s) whose first frame is the LAME tag recording encoder delay and padding.
std::string mp3(Samples s) {
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, kRate);
    lame_set_out_samplerate(lame, kRate);
    lame_set_brate(lame, 128);
    lame_set_bWriteVbrTag(lame, 1);
    EXPECT_GE(lame_init_params(lame), 0);
    const int frames = static_cast<int>(s.size()) / 2;
    std::vector<unsigned char> out(static_cast<size_t>(1.25 * frames + 7200 + 16384));
    const int size = static_cast<int>(out.size());
    int written = lame_encode_buffer_interleaved(lame, s.data(), frames, out.data(), size);
    written += lame_encode_flush(lame, out.data() + written, size - written);
    const size_t tag = lame_get_lametag_frame(lame, out.data(), out.size());  // over the placeholder frame
    lame_close(lame);
    EXPECT_TRUE(written > 0 && tag > 0 && tag <= static_cast<size_t>(written));
    return std::string(out.begin(), out.begin() + written);
}

// Frame-indexed views of interleaved stereo samples: the first frame from `from` with a sound on
// the left, and the last in [from, to) with a sound on either side.
size_t firstSound(const Samples& s, size_t from) {
    for (size_t f = from; f < s.size() / 2; ++f)
        if (s[2 * f] != 0) return f;
    return kNone;
}
size_t lastSound(const Samples& s, size_t from, size_t to) {
    size_t last = kNone;
    for (size_t f = from; f < std::min(to, s.size() / 2); ++f)
        if (s[2 * f] != 0 || s[2 * f + 1] != 0) last = f;
    return last;
}

// Pitch in Hz of the left channel from its rising zero crossings in [from, from + frames).
double pitch(const Samples& s, size_t from, size_t frames) {
    int rising = 0;
    for (size_t f = from + 1; f < from + frames && f < s.size() / 2; ++f) rising += s[2 * f - 2] < 0 && s[2 * f] >= 0;
    return rising * double(kRate) / double(frames);
}

class MusicOutput : public ::testing::Test {
protected:
    // Background: a quarter second at 400 Hz, then at 800 Hz; whole cycles, so it loops smoothly.
    const Samples background_ = tone({{400, kQuarter}, {800, kQuarter}}, 0.5);
    const Samples farewell_ = tone({{600, 13230}}, 0.5);  // 0.3 s at 600 Hz

    void SetUp() override {
        std::filesystem::create_directory(dir_.file("data"));
        oldDir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", dir_.file("out.raw").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        std::filesystem::current_path(oldDir_);
    }

    size_t frames() const {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(dir_.file("out.raw"), error);
        return error ? 0 : bytes / 4;
    }
    Samples heard() const {
        const std::string bytes = dir_.read("out.raw");
        Samples s(bytes.size() / 4 * 2);
        std::memcpy(s.data(), bytes.data(), s.size() * 2);
        return s;
    }
    // Lets the output run until `n` more frames have been written (10 s at most) and returns the
    // frame count reached. Counting frames keeps the tests independent of the machine's load.
    size_t playFor(size_t n) const {
        const size_t target = frames() + n;
        for (int i = 0; i < 1000 && frames() < target; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return frames();
    }
    void writeTunes() const {
        dir_.write("data/background.mp3", mp3(background_));
        dir_.write("data/merry_christmas.mp3", mp3(farewell_));
    }

    TempDir dir_;
    std::filesystem::path oldDir_;
};

TEST_F(MusicOutput, TunesPlayAsToldLoopSeamlesslyStopAndCloseAfterSdlQuit) {
    writeTunes();
    const size_t period = background_.size() / 2, length = farewell_.size() / 2;
    size_t farewellAt[2] = {}, loopAt = 0, stopAt = 0, end = 0;
    {
        Music music;
        music.init();
        ASSERT_NE(music.backgroundStream(), nullptr);
        music.playTune(2);
        music.playTune(-1);
        farewellAt[0] = playFor(kQuarter);
        music.playTune(0);
        loopAt = playFor(length + kQuarter + kOutputLag);
        music.playTune(1);
        stopAt = playFor(2 * period + 2 * kOutputLag);
        music.stopAll();
        farewellAt[1] = playFor(3 * kOutputLag);
        music.playTune(0);  // streams stay open after stopAll and start again from the beginning
        end = playFor(length + kQuarter + kOutputLag);
        SDL_Quit();  // as the game does before its Music is destroyed
    }
    const Samples s = heard();
    EXPECT_GE(firstSound(s, 0), farewellAt[0]) << "tune numbers other than 0 and 1 made a sound";
    // The farewell tune each time: whole, without the encoder's padding, then a quarter second of silence.
    for (auto [from, to] : {std::pair{farewellAt[0], loopAt}, {farewellAt[1], end}}) {
        const size_t start = firstSound(s, from), last = lastSound(s, from, to);
        ASSERT_NE(start, kNone);
        EXPECT_TRUE(last - start > length - 100 && last - start <= length) << last - start << " of " << length;
        EXPECT_NEAR(pitch(s, start + 200, length - 400), 600, 8);
        EXPECT_GT(to, last + kQuarter);
    }
    const size_t start = firstSound(s, loopAt);
    ASSERT_NE(start, kNone);
    ASSERT_GT(stopAt, start + 2 * period + kOutputLag) << "output too slow to hear two loops";
    for (size_t q = 0; q < 4; ++q)
        EXPECT_NEAR(pitch(s, start + q * kQuarter + 200, kQuarter - 400), q % 2 ? 800 : 400, 8) << "quarter " << q;
    // Each pass decodes the same samples, so the output repeats with exactly the file's length:
    // nothing is inserted (encoder padding, a gap) or lost at the seam; and nothing falls quiet.
    int worst = 0;
    size_t quiet = 0, longestQuiet = 0;
    for (size_t f = start; f < start + period; ++f) worst = std::max(worst, std::abs(s[2 * f] - s[2 * (f + period)]));
    for (size_t f = start; f < start + 2 * period; ++f)
        longestQuiet = std::max(longestQuiet, quiet = std::abs(s[2 * f]) < 200 ? quiet + 1 : 0);
    EXPECT_LE(worst, 2);
    EXPECT_LT(longestQuiet, 8u);
    EXPECT_EQ(lastSound(s, stopAt + kOutputLag, farewellAt[1]), kNone) << "still sounding after stopAll";

    Music again;
    again.init();
    EXPECT_NE(again.backgroundStream(), nullptr) << "the output starts again after a clean close";
}

TEST_F(MusicOutput, StreamsMixWithClippingAndFreeTheirChannels) {
    const Samples loud = tone({{400, 2 * kQuarter}}, 0.9);
    dir_.write("loud.mp3", mp3(loud));
    {
        SoundSystem sound;
        ASSERT_TRUE(sound.init(kRate, 64, 0));
        SoundStream* a = sound.openStream("loud.mp3", 0);
        SoundStream* b = sound.openStream("loud.mp3", 0);
        ASSERT_TRUE(a && b);
        SDL_LockAudio();  // both start in the same mixer pass, in phase
        EXPECT_EQ(sound.playStream(a), 0);
        EXPECT_EQ(sound.playStream(b), 1);
        EXPECT_EQ(sound.playStream(a), 0) << "a playing stream keeps its channel";
        SDL_UnlockAudio();
        playFor(loud.size() / 2 + kOutputLag);
        EXPECT_EQ(sound.playingChannels(), 0) << "finished streams free their channels";
        EXPECT_EQ(sound.playStream(b), 0);
    }
    const Samples s = heard();
    const size_t start = firstSound(s, 0);
    ASSERT_NE(start, kNone);
    int clipped = 0, steepest = 0;
    for (size_t f = start + 1; f < start + loud.size() / 2; ++f) {
        clipped += std::abs(s[2 * f]) >= 32767;
        steepest = std::max(steepest, std::abs(s[2 * f] - s[2 * f - 2]));
    }
    EXPECT_GT(clipped, 1000);
    EXPECT_LT(steepest, 8000) << "the sum wrapped round instead of clipping";
}

TEST_F(MusicOutput, BrokenFilesAndNoDeviceStaySilentAndPrintNothing) {
    std::mt19937 random(7);
    std::string noise(8192, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    dir_.write("data/background.mp3", noise);
    dir_.write("data/merry_christmas.mp3", mp3(farewell_).substr(0, 600));  // tag frame and part of the next
    dir_.write("empty.mp3", "");
    dir_.write("text.mp3", "not a tune\n");
    testing::internal::CaptureStdout();
    {
        Music music;
        music.init();
        EXPECT_TRUE(music.initialised() && !music.farewellStream() && !music.backgroundStream());
        for (int tune : {0, 1}) music.playTune(tune);
        playFor(kQuarter);
        music.stopAll();
        music.playTune(1);
    }
    const Samples s = heard();
    EXPECT_GT(s.size() / 2, kQuarter);
    EXPECT_EQ(lastSound(s, 0, s.size()), kNone);
    {
        SoundSystem sound;  // reopens the output file
        ASSERT_TRUE(sound.init(kRate, 64, 0));
        for (const char* name : {"missing.mp3", "empty.mp3", "text.mp3", "data"})
            EXPECT_EQ(sound.openStream(name, SoundLayer::kLoopNormal), nullptr) << name;
        EXPECT_EQ(sound.playStream(nullptr), -1);
    }
    // No audio device at all: good tunes, and still nothing happens.
    writeTunes();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        Music music;
        music.init();
        EXPECT_EQ(music.backgroundStream(), nullptr);
        for (int tune : {1, 0}) music.playTune(tune);
        music.stopAll();
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

}  // namespace
