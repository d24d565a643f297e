// SPDX-License-Identifier: MIT
// Music against a recording stand-in for the sound layer: which calls, in which order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/music.h"
#include "audio/sound_stream.h"

namespace {

// One line per call, arguments included; opens hand out streams A and B in turn, or fail.
struct FakeSoundLayer : SoundLayer {
    bool failOpens = false;
    int opened = 0;
    std::vector<std::string> calls;
    SoundStream streams[2];

    bool init(int rate, int channels, unsigned flags) override {
        calls.push_back("init " + std::to_string(rate) + " " + std::to_string(channels) + " " + std::to_string(flags));
        return true;
    }
    SoundStream* openStream(const std::string& path, unsigned mode) override {
        calls.push_back("open " + path + " " + std::to_string(mode));
        return failOpens ? nullptr : &streams[opened++ % 2];
    }
    int playStream(SoundStream* s) override {
        calls.push_back(std::string("play ") + (s == &streams[0] ? "A" : s == &streams[1] ? "B" : s ? "?" : "null"));
        return 0;
    }
    void stopAll() override { calls.push_back("stopAll"); }
    void close() override { calls.push_back("close"); }
};

using Calls = std::vector<std::string>;

TEST(Music, DrivesTheSoundLayerInOrderEvenWhenOpensFail) {
    for (bool failOpens : {false, true}) {
        FakeSoundLayer layer;
        layer.failOpens = failOpens;
        { Music idle(layer); }  // never initialised: not even a close
        EXPECT_TRUE(layer.calls.empty());
        {
            Music music(layer);
            EXPECT_FALSE(music.initialised());
            music.init();
            EXPECT_TRUE(music.initialised());
            EXPECT_EQ(layer.calls,
                      (Calls{"init 44100 64 0", "open data/merry_christmas.mp3 0", "open data/background.mp3 2"}));
            EXPECT_EQ(music.farewellStream(), failOpens ? nullptr : &layer.streams[0]);
            EXPECT_EQ(music.backgroundStream(), failOpens ? nullptr : &layer.streams[1]);
            layer.calls.clear();
            for (int tune : {1, 2, -1}) music.playTune(tune);
            music.stopAll();
            for (int tune : {0, 1}) music.playTune(tune);
        }
        const std::string a = failOpens ? "play null" : "play A", b = failOpens ? "play null" : "play B";
        EXPECT_EQ(layer.calls, (Calls{b, "stopAll", a, b, "close"})) << "failOpens " << failOpens;
    }
}

}  // namespace
