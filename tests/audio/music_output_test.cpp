// SPDX-License-Identifier: MIT
// The sound layer and Music heard through SDL's "disk" audio driver, which writes the mixed output
// as raw signed 16-bit stereo to a file at about real-time pace: tones encoded with LAME are played
// and the samples written are examined.
#include <SDL.h>
#include <gtest/gtest.h>
#include <lame/lame.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>

#include "audio/music.h"
#include "audio/sound_system.h"
#include "support/temp_dir.h"

namespace {

using Samples = std::vector<int16_t>;
constexpr int kRate = 44100;
constexpr size_t kQuarter = kRate / 4;
constexpr size_t kLag = 4096;  // frames mixed before a call that can reach the file after it

// Stereo sines of (hz, frames), one after another with the phase running on: whole cycles join
// without a click.
Samples tone(std::initializer_list<std::pair<double, size_t>> parts, double amplitude) {
    Samples out;
    double phase = 0;
    for (auto [hz, frames] : parts)
        for (size_t i = 0; i < frames; ++i, phase += 2 * std::numbers::pi * hz / kRate)
            out.insert(out.end(), 2, static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(phase))));
    return out;
}

// An MP3 (LAME's default: 44100 Hz in and out, 128 kbit/s) whose first frame is the LAME tag with
// the encoder delay and padding.
std::string mp3(Samples s) {
    lame_global_flags* lame = lame_init();
    lame_init_params(lame);
    std::vector<unsigned char> out(s.size() + 32768);
    const int size = static_cast<int>(out.size());
    int n = lame_encode_buffer_interleaved(lame, s.data(), static_cast<int>(s.size() / 2), out.data(), size);
    n += lame_encode_flush(lame, out.data() + n, size - n);
    lame_get_lametag_frame(lame, out.data(), out.size());  // over the placeholder frame
    lame_close(lame);
    return std::string(out.begin(), out.begin() + n);
}

// The first and the last frame in [from, to) with a sound on either side; SIZE_MAX for none.
std::pair<size_t, size_t> sounding(const Samples& s, size_t from, size_t to = SIZE_MAX) {
    std::pair<size_t, size_t> span{SIZE_MAX, SIZE_MAX};
    for (size_t f = from; f < std::min(to, s.size() / 2); ++f)
        if (s[2 * f] != 0 || s[2 * f + 1] != 0) span = {std::min(span.first, f), f};
    return span;
}

// Runs in a directory of its own, the output going to out.raw there.
class SoundOutput : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir_.file("data"));
        std::filesystem::current_path(dir_.path());
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", "out.raw", 1);
    }
    void TearDown() override { std::filesystem::current_path(old_); }

    Samples heard() const {
        const std::string bytes = dir_.read("out.raw");
        Samples s(bytes.size() / 2);
        std::memcpy(s.data(), bytes.data(), s.size() * 2);
        return s;
    }
    // Lets the output run until `n` more frames are written (10 s at most); the frame count then.
    size_t playFor(size_t n) const {
        std::error_code e;
        const auto frames = [&] { return std::filesystem::file_size(dir_.file("out.raw"), e) / 4; };
        for (size_t target = frames() + n, i = 0; i < 1000 && frames() < target; ++i) SDL_Delay(10);
        return frames();
    }

    TempDir dir_;
    std::filesystem::path old_ = std::filesystem::current_path();
};

}  // namespace

// That nothing sounds before a tune is started and that stopAll silences it, the end-to-end tests
// hear with the music switched off.
TEST_F(SoundOutput, TheFarewellTunePlaysOnceWholeAndTheBackgroundLoopsSeamlessly) {
    const Samples background = tone({{400, kQuarter}, {800, kQuarter}}, 0.5), farewell = tone({{600, 13230}}, 0.5);
    dir_.write("data/background.mp3", mp3(background));
    dir_.write("data/merry_christmas.mp3", mp3(farewell));
    const size_t period = background.size() / 2, length = farewell.size() / 2;
    size_t farewellAt = 0, loopAt = 0, stopAt = 0;
    {
        Music music;
        music.init();
        farewellAt = playFor(kQuarter);
        music.playTune(Tune::farewell);
        loopAt = playFor(length + kQuarter + kLag);
        music.playTune(Tune::background);
        stopAt = playFor(2 * period + 2 * kLag);
        music.close();
        SDL_Quit();  // as the game ends: the sound closed first, the Music destroyed later
    }
    const Samples s = heard();
    // The farewell tune once, whole and without the encoder's padding.
    const auto [start, last] = sounding(s, farewellAt, loopAt);
    EXPECT_TRUE(last - start > length - 100 && last - start <= length) << last - start << " of " << length;
    // The background tune loops with exactly its file's length: nothing inserted or lost at the seam.
    const size_t loop = sounding(s, loopAt).first;
    ASSERT_GT(stopAt, loop + 2 * period + kLag) << "output too slow to hear two loops";
    int worst = 0;
    for (size_t f = loop; f < loop + period; ++f) worst = std::max(worst, std::abs(s[2 * f] - s[2 * (f + period)]));
    EXPECT_LE(worst, 2);
}

// The main thread never waits while the mixer decodes: starting and stopping take well under a
// millisecond (19 times in 20; a busy machine may hold the thread up) while 64 streams keep the
// audio thread decoding.
TEST_F(SoundOutput, StartingAndStoppingNeverWaitForTheDecoding) {
    dir_.write("loud.mp3", mp3(tone({{400, 2 * kQuarter}}, 0.01)));
    SoundSystem sound;
    ASSERT_TRUE(sound.init(kRate, 64, 0));
    std::vector<SoundStream*> streams;
    for (int i = 0; i < 64; ++i) streams.push_back(sound.openStream("loud.mp3", SoundLayer::kLoopNormal));
    std::vector<double> ms;
    for (int round = 0; round < 100; ++round) {
        for (SoundStream* stream : streams) sound.playStream(stream);
        SDL_Delay(7);
        const auto start = std::chrono::steady_clock::now();
        sound.stopAll();
        sound.playStream(streams[0]);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::ranges::sort(ms);
    EXPECT_LT(ms[95], 1.0) << "the slowest: " << ms[98] << ", " << ms[99] << " ms";
}

TEST_F(SoundOutput, StreamsMixWithClippingAndBadFilesOrNoDeviceStaySilent) {
    const Samples loud = tone({{400, 2 * kQuarter}}, 0.9);
    dir_.write("loud.mp3", mp3(loud));
    dir_.write("text.mp3", "not a tune\n");
    dir_.write("cut.mp3", mp3(loud).substr(0, 600));
    testing::internal::CaptureStdout();
    {
        SoundSystem sound;
        ASSERT_TRUE(sound.init(kRate, 64, 0));
        for (const char* name : {"missing.mp3", "text.mp3", "cut.mp3"})
            EXPECT_EQ(sound.openStream(name, SoundLayer::kLoopNormal), nullptr) << name;
        EXPECT_EQ(sound.playStream(nullptr), -1);
        SoundStream* a = sound.openStream("loud.mp3", 0);
        SoundStream* b = sound.openStream("loud.mp3", 0);
        SDL_LockAudio();  // both start in the same mixer pass, in phase
        const int first = sound.playStream(a), second = sound.playStream(b), again = sound.playStream(a);
        EXPECT_EQ(std::tuple(first, second, again), std::tuple(0, 1, 0))
            << "the first free channel each, and a playing stream keeps its own";
        SDL_UnlockAudio();
        playFor(loud.size() / 2 + kLag);
        EXPECT_EQ(sound.playingChannels(), 0) << "finished streams free their channels";
    }
    const Samples s = heard();
    int clipped = 0, steepest = 0;
    for (size_t f = sounding(s, 0).first + 1; f < s.size() / 2; ++f) {
        clipped += std::abs(s[2 * f]) >= 32767;
        steepest = std::max(steepest, std::abs(s[2 * f] - s[2 * f - 2]));
    }
    EXPECT_GT(clipped, 1000) << "the sum was not clipped";
    EXPECT_LT(steepest, 8000) << "the sum wrapped round instead of clipping";

    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);  // no device: the game carries on in silence
    {
        Music music;
        music.init();
        EXPECT_EQ(music.backgroundStream(), nullptr);
        for (Tune tune : {Tune::background, Tune::farewell}) music.playTune(tune);
        music.stopAll();
    }
    EXPECT_EQ(std::pair(testing::internal::GetCapturedStdout(), SDL_WasInit(SDL_INIT_AUDIO)),
              std::pair(std::string(), 0u));
}
