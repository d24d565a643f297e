// SPDX-License-Identifier: MIT
#include "audio/sound_stream.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "files/player_file.h"

namespace {

// Decoded samples held per refill; at least one MPEG frame doubled by resampling.
constexpr size_t kPcmSamples = 8192;

}  // namespace

SoundStream::~SoundStream() { close(); }

void SoundStream::close() {
    if (decoder_) mpg123_delete(decoder_);
    if (fd_ >= 0) ::close(fd_);
    decoder_ = nullptr;
    fd_ = -1;
}

bool SoundStream::open(const std::string& path, bool loop, int mixRate) {
    close();
    // Only a regular file, opened without blocking: a FIFO would hold the open for ever.
    const int fd = openRegularFile(path.c_str());
    if (fd < 0) return false;
    int err = MPG123_OK;
    mpg123_handle* decoder = mpg123_new(nullptr, &err);
    if (!decoder) {
        ::close(fd);
        return false;
    }
    // Quiet: the game prints nothing but its start-up lines. Gapless: the encoder's delay and
    // padding are cut, so a loop has no silence at its seam.
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    // The mixer's one format; the decoder resamples and duplicates mono as needed.
    mpg123_format_none(decoder);
    mpg123_format(decoder, mixRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);

    long rate = 0;
    int channels = 0;
    int encoding = 0;
    // Only the first frame is read here; the rest is decoded while the stream plays.
    if (mpg123_open_fd(decoder, fd) != MPG123_OK ||
        mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK || rate != mixRate || channels != 2 ||
        encoding != MPG123_ENC_SIGNED_16) {
        mpg123_delete(decoder);
        ::close(fd);
        return false;
    }
    decoder_ = decoder;
    fd_ = fd;
    loop_ = loop;
    pcm_.assign(std::max(kPcmSamples, mpg123_outblock(decoder) / sizeof(int16_t)), 0);
    pcmPos_ = pcmEnd_ = 0;
    return true;
}

void SoundStream::rewind() {
    if (!decoder_) return;
    mpg123_seek(decoder_, 0, SEEK_SET);
    pcmPos_ = pcmEnd_ = 0;
}

bool SoundStream::refill() {
    bool rewound = false;
    // A few attempts cover a format notice and one rewind; a file that still yields nothing ends.
    for (int attempt = 0; attempt < 4; ++attempt) {
        size_t bytes = 0;
        const int rc = mpg123_read(decoder_, pcm_.data(), pcm_.size() * sizeof(int16_t), &bytes);
        const size_t samples = bytes / (2 * sizeof(int16_t)) * 2;  // whole stereo frames only
        if (samples > 0) {
            pcmPos_ = 0;
            pcmEnd_ = samples;
            return true;
        }
        if (rc == MPG123_DONE && loop_ && !rewound) {
            mpg123_seek(decoder_, 0, SEEK_SET);
            rewound = true;
        } else if (rc != MPG123_NEW_FORMAT && rc != MPG123_OK) {
            return false;
        }
    }
    return false;
}

bool SoundStream::mixInto(int32_t* mix, int frames) {
    if (!decoder_) return false;
    size_t wanted = static_cast<size_t>(std::max(frames, 0)) * 2;
    while (wanted > 0) {
        if (pcmPos_ == pcmEnd_ && !refill()) return false;
        const size_t n = std::min(wanted, pcmEnd_ - pcmPos_);
        const int16_t* src = pcm_.data() + pcmPos_;
        for (size_t i = 0; i < n; ++i) mix[i] += src[i];
        mix += n;
        pcmPos_ += n;
        wanted -= n;
    }
    return true;
}
