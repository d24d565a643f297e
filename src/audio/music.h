// SPDX-License-Identifier: MIT
#pragma once

#include "audio/sound_system.h"

// The game's two tunes, by their fixed numbers.
enum class Tune : int {
    farewell = 0,    // "data/merry_christmas.mp3", plays once
    background = 1,  // "data/background.mp3", loops until stopped
};

// The game's two tunes. Owns the sound layer it plays through unless it was given another one.
// Main thread only.
class Music {
public:
    // Plays through its own SoundSystem. Makes no sound-layer call.
    Music();
    // Plays through `layer`, which must outlive this Music.
    explicit Music(SoundLayer& layer);
    // Closes the sound layer if it is still open.
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // Starts the output (44100 Hz, 64 channels) and opens both tunes from data/. Results are not
    // examined: a tune that failed to open stays silent.
    void init();
    // Starts the tune on a free channel.
    void playTune(Tune tune);
    // Silences whatever is playing.
    void stopAll();
    // Closes the sound layer if init has run, while SDL still runs; the destructor then has nothing
    // left to do.
    void close();

    bool initialised() const { return initialised_; }
    SoundStream* farewellStream() const { return farewellStream_; }
    SoundStream* backgroundStream() const { return backgroundStream_; }

private:
    SoundSystem system_;                       // used unless another layer was given
    SoundLayer* layer_;                        // not owned: system_ or the given layer
    bool initialised_ = false;                 // from init, whatever it reported, until close
    SoundStream* farewellStream_ = nullptr;    // "data/merry_christmas.mp3"; owned by the layer
    SoundStream* backgroundStream_ = nullptr;  // "data/background.mp3"; owned by the layer
};
