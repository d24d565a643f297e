// SPDX-License-Identifier: MIT
#include "audio/sound_system.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

namespace {

constexpr int kBufferFrames = 1024;  // device buffer, about 23 ms at 44100 Hz
constexpr int kMixFrames = 1024;     // frames summed per pass of the mixer

}  // namespace

SoundSystem::~SoundSystem() { close(); }

bool SoundSystem::init(int mixRate, int maxChannels, unsigned /*flags*/) {
    if (deviceOpen_) return true;
    if (mixRate < 8000 || mixRate > 192000 || maxChannels < 1) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return false;
    subsystemStarted_ = true;

    mix_.assign(kMixFrames * 2, 0);
    channelCount_ = std::min(maxChannels, kMaxChannels);
    mixRate_ = mixRate;

    SDL_AudioSpec wanted{};
    wanted.freq = mixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = kBufferFrames;
    wanted.callback = &SoundSystem::fillAudio;
    wanted.userdata = this;
    // No "obtained" format asked for: SDL converts to whatever the device really takes.
    if (SDL_OpenAudio(&wanted, nullptr) < 0) {
        close();
        return false;
    }
    deviceOpen_ = true;
    SDL_PauseAudio(0);
    return true;
}

SoundStream* SoundSystem::openStream(const std::string& path, unsigned mode) {
    if (!deviceOpen_) return nullptr;
    auto stream = std::make_unique<SoundStream>();
    if (!stream->open(path, (mode & kLoopNormal) != 0, mixRate_)) return nullptr;
    streams_.push_back(std::move(stream));
    return streams_.back().get();
}

int SoundSystem::playStream(SoundStream* stream) {
    if (!stream || !deviceOpen_) return -1;
    const bool ours =
        std::any_of(streams_.begin(), streams_.end(), [stream](const auto& s) { return s.get() == stream; });
    if (!ours) return -1;
    std::lock_guard<std::mutex> lock(channelLock_);
    const auto channels = std::span(channels_).first(static_cast<std::size_t>(channelCount_));
    if (const auto on = std::ranges::find(channels, stream); on != channels.end())
        return static_cast<int>(on - channels.begin());
    const auto free = std::ranges::find(channels, nullptr);
    if (free == channels.end()) return -1;
    // The audio thread may still be mixing it from an earlier start: it is rewound there.
    *free = stream;
    fresh_[static_cast<std::size_t>(free - channels.begin())] = true;
    return static_cast<int>(free - channels.begin());
}

void SoundSystem::stopAll() {
    std::lock_guard<std::mutex> lock(channelLock_);
    channels_.fill(nullptr);
}

int SoundSystem::playingChannels() {
    std::lock_guard<std::mutex> lock(channelLock_);
    return static_cast<int>(
        std::count_if(channels_.begin(), channels_.end(), [](const SoundStream* s) { return s != nullptr; }));
}

void SoundSystem::close() {
    // SDL_Quit may already have closed the device and stopped the audio thread; then SDL must not
    // be called again for it.
    if (subsystemStarted_ && SDL_WasInit(SDL_INIT_AUDIO) != 0) {
        if (deviceOpen_) SDL_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    deviceOpen_ = false;
    subsystemStarted_ = false;
    {
        std::lock_guard<std::mutex> lock(channelLock_);
        channels_.fill(nullptr);
    }
    streams_.clear();
    mix_.clear();
    channelCount_ = 0;
    mixRate_ = 0;
}

void SoundSystem::fillAudio(void* self, uint8_t* out, int bytes) {
    auto* system = static_cast<SoundSystem*>(self);
    std::memset(out, 0, static_cast<size_t>(std::max(bytes, 0)));
    {
        std::lock_guard<std::mutex> lock(system->channelLock_);
        system->mixing_ = system->channels_;
        system->restart_ = std::exchange(system->fresh_, {});
    }
    for (std::size_t i = 0; i < kMaxChannels; ++i)
        if (system->restart_[i] && system->mixing_[i]) system->mixing_[i]->rewind();
    system->ended_.fill(false);
    int frames = bytes / 4;
    auto* samples = reinterpret_cast<int16_t*>(out);
    while (frames > 0) {
        const int n = std::min(frames, kMixFrames);
        system->mixChunk(samples, n);
        samples += n * 2;
        frames -= n;
    }
    // A stream that ended frees its channel, unless it was started again meanwhile.
    std::lock_guard<std::mutex> lock(system->channelLock_);
    for (std::size_t i = 0; i < kMaxChannels; ++i)
        if (system->ended_[i] && system->channels_[i] == system->mixing_[i] && !system->fresh_[i])
            system->channels_[i] = nullptr;
}

void SoundSystem::mixChunk(int16_t* out, int frames) {
    std::fill(mix_.begin(), mix_.begin() + frames * 2, 0);
    for (std::size_t i = 0; i < kMaxChannels; ++i)
        if (mixing_[i] && !ended_[i]) ended_[i] = !mixing_[i]->mixInto(mix_.data(), frames);
    // Several loud channels can exceed 16 bits: clip instead of wrapping round.
    for (int i = 0; i < frames * 2; ++i) out[i] = static_cast<int16_t>(std::clamp(mix_[i], -32768, 32767));
}
