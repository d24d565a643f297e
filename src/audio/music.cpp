// SPDX-License-Identifier: MIT
#include "audio/music.h"

namespace {

constexpr int kMixRate = 44100;  // Hz
constexpr int kChannels = 64;    // software channels
constexpr const char* kFarewellFile = "data/merry_christmas.mp3";
constexpr const char* kBackgroundFile = "data/background.mp3";

}  // namespace

Music::Music() : layer_(&system_) {}

Music::Music(SoundLayer& layer) : layer_(&layer) {}

Music::~Music() { close(); }

void Music::init() {
    layer_->init(kMixRate, kChannels, 0);
    farewellStream_ = layer_->openStream(kFarewellFile, 0);
    backgroundStream_ = layer_->openStream(kBackgroundFile, SoundLayer::kLoopNormal);
    initialised_ = true;
}

void Music::playTune(Tune tune) { layer_->playStream(tune == Tune::farewell ? farewellStream_ : backgroundStream_); }

void Music::stopAll() { layer_->stopAll(); }

void Music::close() {
    if (initialised_) layer_->close();
    initialised_ = false;
}
