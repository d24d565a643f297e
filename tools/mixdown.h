// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <vector>

// A stereo recording being built up from many voices, 44100 frames per second. A looping
// mixdown wraps: sound added past its end continues at its start, so a tune's last notes ring
// on into its first bars and the seam cannot be heard.
class Mixdown {
public:
    static constexpr int kRate = 44100;

    Mixdown(size_t frames, bool looping);

    size_t frames() const { return left_.size(); }
    bool looping() const { return looping_; }
    const std::vector<float>& left() const { return left_; }
    const std::vector<float>& right() const { return right_; }

    // Adds one stereo frame at `frame`; frames outside are wrapped (looping) or dropped.
    void add(long frame, float left, float right) {
        const long n = static_cast<long>(left_.size());
        if (looping_) {
            frame %= n;
            if (frame < 0) frame += n;
        } else if (frame < 0 || frame >= n) {
            return;
        }
        left_[static_cast<size_t>(frame)] += left;
        right_[static_cast<size_t>(frame)] += right;
    }
    // Adds a mono sample placed at `pan` (-1 left, 0 centre, 1 right, constant power).
    void addPanned(long frame, float sample, float pan);

    // Adds room reverberation: `wet` is the level of the reverberated sound. A looping mixdown
    // is run through the room twice, so the reverb of the end is heard at the start.
    void addReverb(float wet, float roomSize);
    // Removes the rumble below about 25 Hz and any offset from zero.
    void highPass();
    // Scales everything so that the largest sample is `peak` (0-1).
    void normalise(float peak);
    float peak() const;
    // Fades the last `seconds` out to silence (for a tune that ends).
    void fadeOut(double seconds);

private:
    std::vector<float> left_;
    std::vector<float> right_;
    bool looping_;
};
