// Music against a recording stand-in for the sound layer: which calls, in which order.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "audio/music.h"
#include "audio/sound_stream.h"

namespace {

class FakeSoundLayer : public SoundLayer {
public:
    bool failOpens = false;               // openStream returns null, as for a missing file
    std::vector<std::string> calls;       // one line per call, arguments included
    std::array<SoundStream, 2> streams;   // handed out in open order

    bool init(int rate, int channels, unsigned flags) override {
        calls.push_back("init " + std::to_string(rate) + " " + std::to_string(channels) + " " +
                        std::to_string(flags));
        return true;
    }
    SoundStream* openStream(const std::string& path, unsigned mode) override {
        calls.push_back("open " + path + " " + std::to_string(mode));
        return failOpens ? nullptr : &streams[opened_++ % 2];
    }
    int playStream(SoundStream* stream) override {
        calls.push_back("play " + name(stream));
        return 0;
    }
    void stopAll() override { calls.push_back("stopAll"); }
    void close() override { calls.push_back("close"); }

    std::string name(const SoundStream* s) const {
        return s == &streams[0] ? "first" : s == &streams[1] ? "second" : s ? "other" : "null";
    }

private:
    int opened_ = 0;
};

using Calls = std::vector<std::string>;

TEST(Music, DrivesTheSoundLayerInOrder) {
    FakeSoundLayer layer;
    {
        Music music(layer);
        EXPECT_TRUE(layer.calls.empty());
        EXPECT_FALSE(music.initialised());

        music.init();
        EXPECT_EQ(layer.calls, (Calls{"init 44100 64 0", "open data/merry_christmas.mp3 0",
                                      "open data/background.mp3 2"}));
        EXPECT_TRUE(music.initialised());
        EXPECT_EQ(music.farewellStream(), &layer.streams[0]);
        EXPECT_EQ(music.backgroundStream(), &layer.streams[1]);

        layer.calls.clear();
        music.playTune(1);
        music.playTune(2);
        music.playTune(-1);
        music.stopAll();
        music.playTune(0);
        music.playTune(1);
        EXPECT_EQ(layer.calls, (Calls{"play second", "stopAll", "play first", "play second"}));
        layer.calls.clear();
    }
    EXPECT_EQ(layer.calls, (Calls{"close"}));
}

TEST(Music, FailedOpensArePassedOnAndTheLayerStillCloses) {
    FakeSoundLayer layer;
    layer.failOpens = true;
    {
        Music music(layer);
        music.init();
        EXPECT_TRUE(music.initialised());
        music.playTune(0);
        music.playTune(1);
    }
    EXPECT_EQ(layer.calls, (Calls{"init 44100 64 0", "open data/merry_christmas.mp3 0",
                                  "open data/background.mp3 2", "play null", "play null", "close"}));
}

TEST(Music, NeverInitialisedMakesNoCall) {
    FakeSoundLayer layer;
    { Music music(layer); }
    EXPECT_TRUE(layer.calls.empty());
}

}  // namespace
