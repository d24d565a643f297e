#include "audio/mp3_tone.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

std::vector<int16_t> toneSamples(const std::vector<ToneSegment>& segments, int rate, int channels,
                                 double amplitude) {
    std::vector<int16_t> out;
    double phase = 0;
    for (const ToneSegment& segment : segments) {
        for (size_t i = 0; i < segment.frames; ++i) {
            const auto value = static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(phase)));
            out.insert(out.end(), static_cast<size_t>(channels), value);
            phase += 2 * std::numbers::pi * segment.hz / rate;
        }
    }
    return out;
}

std::string encodeMp3(const std::vector<int16_t>& samples, int rate, int channels) {
    lame_global_flags* lame = lame_init();
    lame_set_num_channels(lame, channels);
    lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_brate(lame, 128);
    lame_set_quality(lame, 5);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) throw std::runtime_error("lame_init_params failed");

    const int frames = static_cast<int>(samples.size()) / channels;
    std::vector<unsigned char> out(static_cast<size_t>(1.25 * frames + 7200 + 16384));
    std::vector<int16_t> mono(samples);  // LAME's buffer API wants non-const input
    int written = channels == 1
                      ? lame_encode_buffer(lame, mono.data(), mono.data(), frames, out.data(), int(out.size()))
                      : lame_encode_buffer_interleaved(lame, mono.data(), frames, out.data(), int(out.size()));
    written += lame_encode_flush(lame, out.data() + written, int(out.size()) - written);
    // The first frame is a placeholder for the tag that carries the gapless information.
    std::vector<unsigned char> tag(8192);
    const size_t tagSize = lame_get_lametag_frame(lame, tag.data(), tag.size());
    lame_close(lame);
    if (written <= 0 || tagSize > static_cast<size_t>(written)) throw std::runtime_error("encoding failed");
    std::copy(tag.begin(), tag.begin() + static_cast<long>(tagSize), out.begin());
    return std::string(out.begin(), out.begin() + written);
}
