// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/sound_layer.h"
#include "audio/sound_stream.h"

// The game's sound layer: SDL's audio output and a software mixer of up to 64 channels, each
// playing one MP3 stream that is decoded as it plays. Mixing and decoding run in SDL's audio
// callback, which holds the channel lock only to copy the channel table before it decodes and to
// free the channels of streams that ended after: the main thread never waits for a decode. Once
// open, a stream's decoder is touched by the audio thread alone; a stream started again is rewound
// there, before its next samples.
//
// close() is safe after SDL_Quit has already shut the audio down, as happens at game exit.
class SoundSystem final : public SoundLayer {
public:
    static constexpr int kMaxChannels = 64;

    SoundSystem() = default;
    ~SoundSystem() override;

    bool init(int mixRate, int maxChannels, unsigned flags) override;
    SoundStream* openStream(const std::string& path, unsigned mode) override;
    int playStream(SoundStream* stream) override;
    void stopAll() override;
    void close() override;

    // Channels with a stream on them at this moment.
    int playingChannels();

private:
    static void fillAudio(void* self, uint8_t* out, int bytes);
    void mixChunk(int16_t* out, int frames);

    std::mutex channelLock_;                             // guards channels_ and fresh_
    std::array<SoundStream*, kMaxChannels> channels_{};  // stream on each channel, null = free
    std::array<bool, kMaxChannels> fresh_{};             // put on its channel since the last mix: rewind first
    std::array<SoundStream*, kMaxChannels> mixing_{};    // audio thread only: this pass's copy of channels_
    std::array<bool, kMaxChannels> restart_{};           // audio thread only: mixing_[i] to be rewound first
    std::array<bool, kMaxChannels> ended_{};             // audio thread only: mixing_[i] played to its end
    int channelCount_ = 0;                               // channels usable, 1..64 once started
    int mixRate_ = 0;                                    // output rate in Hz, 0 until started
    bool subsystemStarted_ = false;                      // this object started SDL's audio
    bool deviceOpen_ = false;                            // this object opened SDL's audio device
    std::vector<std::unique_ptr<SoundStream>> streams_;  // every stream opened since init
    std::vector<int32_t> mix_;                           // audio thread only: sums before clipping
};
