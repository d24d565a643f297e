// SPDX-License-Identifier: MIT
#pragma once

#include <string>

class SoundStream;

// The five operations the game needs from a sound library: start the output, open an MP3 file as
// a stream, play a stream on a free channel, stop every channel, shut down. Music talks only to
// this interface so that it can be exercised without a sound device.
//
// Every operation fails silently: a failed open yields a null stream, and playing a null stream
// does nothing.
class SoundLayer {
public:
    // Mode flag for openStream: the stream repeats from its start when it ends.
    static constexpr unsigned kLoopNormal = 2;

    SoundLayer() = default;
    virtual ~SoundLayer() = default;
    SoundLayer(const SoundLayer&) = delete;
    SoundLayer& operator=(const SoundLayer&) = delete;

    // Starts output at mixRate Hz with up to maxChannels simultaneous channels. flags: reserved,
    // 0. Returns false when there is no usable output; the game carries on without sound.
    virtual bool init(int mixRate, int maxChannels, unsigned flags) = 0;
    // Opens an MP3 file for playing; mode 0 plays once, kLoopNormal repeats. The layer owns the
    // stream until close. Null when the file cannot be played or there is no output.
    virtual SoundStream* openStream(const std::string& path, unsigned mode) = 0;
    // Starts the stream from its beginning on a free channel and returns the channel number, or
    // -1 when nothing started. A stream that is already playing goes on unchanged and its channel
    // is returned.
    virtual int playStream(SoundStream* stream) = 0;
    // Silences every channel at once. Streams stay open and can be played again.
    virtual void stopAll() = 0;
    // Stops the output and releases every stream. Safe to call more than once.
    virtual void close() = 0;
};
