// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct mpg123_handle_struct;

// One MP3 file decoded a little at a time into signed 16-bit stereo at the mix rate. Only one
// thread uses a stream at a time: the opener while it is idle, the mixer while it is on a channel.
class SoundStream {
public:
    SoundStream() = default;
    ~SoundStream();
    SoundStream(const SoundStream&) = delete;
    SoundStream& operator=(const SoundStream&) = delete;

    // Opens the file and decodes its first frame to check that it is MP3. False (and the stream
    // stays closed) for a missing, empty or unreadable file, one that is not a regular file (never
    // opened, so a FIFO cannot block), or one that is not MP3.
    bool open(const std::string& path, bool loop, int mixRate);

    // Back to the first sample. Encoder delay and padding are never played (gapless decoding).
    void rewind();
    // Adds the next `frames` stereo frames to `mix` (interleaved left, right). Returns false once
    // the stream has nothing more to play: a one-shot stream at its end, a looping stream whose
    // file yields no sound at all, or a read error. The frames it could not fill are left as they
    // were.
    bool mixInto(int32_t* mix, int frames);

private:
    bool refill();
    void close();

    mpg123_handle_struct* decoder_ = nullptr;  // null while closed
    int fd_ = -1;                              // the file the decoder reads; -1 while closed
    bool loop_ = false;                        // repeat at the end, default off
    std::vector<int16_t> pcm_;                 // decoded samples, interleaved stereo
    size_t pcmPos_ = 0;                        // next unmixed sample in pcm_
    size_t pcmEnd_ = 0;                        // samples decoded into pcm_
};
