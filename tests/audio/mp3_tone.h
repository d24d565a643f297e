#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One stretch of a test tune: a sine at `hz` for `frames` sample frames.
struct ToneSegment {
    double hz;
    size_t frames;
};

// 16-bit samples (interleaved when stereo) of the segments one after another; the phase runs on
// across segments, so whole-cycle segments join without a click. amplitude: 0..1 of full scale.
std::vector<int16_t> toneSamples(const std::vector<ToneSegment>& segments, int rate, int channels,
                                 double amplitude);

// The samples as an MP3 file (LAME, 128 kbit/s) whose LAME tag records encoder delay and padding.
std::string encodeMp3(const std::vector<int16_t>& samples, int rate, int channels);
