// SPDX-License-Identifier: MIT
#pragma once

#include "audio/sound_system.h"

// The game's two tunes: the farewell tune (tune 0, plays once) and the background tune (tune 1,
// loops). Owns the sound layer it plays through unless it was given another one. Main thread only.
class Music {
public:
    // Plays through its own SoundSystem. Makes no sound-layer call.
    Music();
    // Plays through `layer`, which must outlive this Music.
    explicit Music(SoundLayer& layer);
    // Closes the sound layer if init has run.
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // Starts the output (44100 Hz, 64 channels) and opens both tunes from data/. Results are not
    // examined: a tune that failed to open stays silent.
    void init();
    // 0 starts the farewell tune, 1 the background tune, each on a free channel; other numbers do
    // nothing.
    void playTune(int tune);
    // Silences whatever is playing.
    void stopAll();

    bool initialised() const { return initialised_; }
    SoundStream* farewellStream() const { return farewellStream_; }
    SoundStream* backgroundStream() const { return backgroundStream_; }

private:
    SoundSystem system_;                       // used unless another layer was given
    SoundLayer* layer_;                        // not owned: system_ or the given layer
    bool initialised_ = false;                 // true once init has run, whatever it reported
    SoundStream* farewellStream_ = nullptr;    // "data/merry_christmas.mp3"; owned by the layer
    SoundStream* backgroundStream_ = nullptr;  // "data/background.mp3"; owned by the layer
};
