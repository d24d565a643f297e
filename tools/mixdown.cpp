// SPDX-License-Identifier: MIT
#include "mixdown.h"

#include <algorithm>
#include <cmath>
#include <numbers>

Mixdown::Mixdown(size_t frames, bool looping)
    : left_(std::max<size_t>(frames, 1), 0.0f), right_(std::max<size_t>(frames, 1), 0.0f), looping_(looping) {}

void Mixdown::addPanned(long frame, float sample, float pan) {
    const float a = (std::clamp(pan, -1.0f, 1.0f) + 1) * static_cast<float>(std::numbers::pi) / 4;
    add(frame, sample * std::cos(a), sample * std::sin(a));
}

namespace {

// A feedback comb filter with a damping low-pass in its loop (the classic room model).
class Comb {
public:
    explicit Comb(size_t length) : buffer_(length, 0.0f) {}
    float process(float in, float feedback, float damp) {
        const float out = buffer_[pos_];
        store_ = out * (1 - damp) + store_ * damp;
        buffer_[pos_] = in + store_ * feedback;
        pos_ = (pos_ + 1) % buffer_.size();
        return out;
    }

private:
    std::vector<float> buffer_;
    size_t pos_ = 0;
    float store_ = 0;
};

class Allpass {
public:
    explicit Allpass(size_t length) : buffer_(length, 0.0f) {}
    float process(float in) {
        const float stored = buffer_[pos_];
        const float out = stored - in;
        buffer_[pos_] = in + stored * 0.5f;
        pos_ = (pos_ + 1) % buffer_.size();
        return out;
    }

private:
    std::vector<float> buffer_;
    size_t pos_ = 0;
};

// One channel of the room; the right channel uses slightly longer delays for width.
class Room {
public:
    explicit Room(size_t spread) {
        for (size_t len : {1116u, 1188u, 1277u, 1356u, 1422u, 1491u}) combs_.emplace_back(len + spread);
        for (size_t len : {556u, 441u, 341u}) allpasses_.emplace_back(len + spread);
    }
    float process(float in, float feedback) {
        float out = 0;
        for (Comb& c : combs_) out += c.process(in, feedback, 0.3f);
        for (Allpass& a : allpasses_) out = a.process(out);
        return out;
    }

private:
    std::vector<Comb> combs_;
    std::vector<Allpass> allpasses_;
};

}  // namespace

void Mixdown::addReverb(float wet, float roomSize) {
    Room roomL(0), roomR(23);
    const float feedback = 0.7f + 0.28f * std::clamp(roomSize, 0.0f, 1.0f);
    const size_t n = frames();
    std::vector<float> outL(n, 0.0f), outR(n, 0.0f);
    const int passes = looping_ ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass)
        for (size_t i = 0; i < n; ++i) {
            const float in = (left_[i] + right_[i]) * 0.02f;
            outL[i] = roomL.process(in, feedback);
            outR[i] = roomR.process(in, feedback);
        }
    for (size_t i = 0; i < n; ++i) {
        left_[i] += outL[i] * wet;
        right_[i] += outR[i] * wet;
    }
}

void Mixdown::highPass() {
    // One-pole high-pass at about 25 Hz; for a loop, run twice so the state at the seam is the
    // state the end leaves.
    const float k = std::exp(-2 * static_cast<float>(std::numbers::pi) * 25 / kRate);
    for (std::vector<float>* ch : {&left_, &right_}) {
        std::vector<float>& x = *ch;
        std::vector<float> y(x.size());
        float prevIn = 0, prevOut = 0;
        const int passes = looping_ ? 2 : 1;
        for (int pass = 0; pass < passes; ++pass)
            for (size_t i = 0; i < x.size(); ++i) {
                const float out = k * (prevOut + x[i] - prevIn);
                prevIn = x[i];
                prevOut = out;
                y[i] = out;
            }
        x = std::move(y);
    }
}

float Mixdown::peak() const {
    float p = 0;
    for (size_t i = 0; i < frames(); ++i) p = std::max({p, std::fabs(left_[i]), std::fabs(right_[i])});
    return p;
}

void Mixdown::normalise(float target) {
    const float p = peak();
    if (p <= 0) return;
    const float k = target / p;
    for (size_t i = 0; i < frames(); ++i) {
        left_[i] *= k;
        right_[i] *= k;
    }
}

void Mixdown::fadeOut(double seconds) {
    const size_t len = std::min(frames(), static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < len; ++i) {
        const float k = static_cast<float>(i) / static_cast<float>(len);  // 0 at the very end
        const size_t at = frames() - 1 - i;
        left_[at] *= k * k;
        right_[at] *= k * k;
    }
}
