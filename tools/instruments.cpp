// SPDX-License-Identifier: MIT
#include "instruments.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "art_kit.h"

double midiFrequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kRate = Mixdown::kRate;

long toFrame(double seconds) { return static_cast<long>(std::lround(seconds * kRate)); }

// Linear attack, then held, then an exponential-looking release over `release` seconds.
float envelope(double t, double attack, double hold, double release) {
    if (t < 0) return 0;
    if (t < attack) return static_cast<float>(t / attack);
    if (t < hold) return 1;
    const double r = (t - hold) / release;
    if (r >= 1) return 0;
    return static_cast<float>((1 - r) * (1 - r));
}

// A two-pole resonant band-pass (constant peak gain), for the metal of the sleigh bells.
class BandPass {
public:
    BandPass(double centre, double q) {
        const double w = kTwoPi * centre / kRate;
        const double alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha;
        b0_ = alpha / a0;
        b2_ = -alpha / a0;
        a1_ = -2 * std::cos(w) / a0;
        a2_ = (1 - alpha) / a0;
    }
    float process(float x) {
        const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return static_cast<float>(y);
    }

private:
    double b0_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

}  // namespace

namespace instrument {

void bells(Mixdown& mix, const Note& note) {
    // Partials of a struck bar, each with its own decay (seconds to fall by 1/e).
    const double ratio[] = {1.0, 2.756, 5.404, 8.933};
    const float level[] = {1.0f, 0.32f, 0.12f, 0.05f};
    const double decay[] = {0.9, 0.35, 0.16, 0.08};
    const double ring = std::max(note.length, 0.25) + 1.6;
    const long first = toFrame(note.start), count = toFrame(ring);
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        float s = 0;
        for (int p = 0; p < 4; ++p) {
            const double f = note.frequency * ratio[p];
            if (f > 18000) continue;
            s += level[p] * static_cast<float>(std::exp(-t / decay[p]) * std::sin(kTwoPi * f * t));
        }
        const float attack = static_cast<float>(std::min(1.0, t / 0.002));
        const float tail = static_cast<float>(std::min(1.0, (ring - t) / 0.3));  // end at silence
        mix.addPanned(first + i, s * attack * tail * note.velocity * 0.5f, note.pan);
    }
}

void lead(Mixdown& mix, const Note& note) {
    const float level[] = {1.0f, 0.42f, 0.22f, 0.11f, 0.06f, 0.03f};
    const double release = 0.12;
    const long first = toFrame(note.start), count = toFrame(note.length + release);
    double phase = 0;
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // Vibrato fades in after the first tenth of a second.
        const double depth = 0.004 * std::clamp((t - 0.12) / 0.25, 0.0, 1.0);
        const double f = note.frequency * (1 + depth * std::sin(kTwoPi * 5.2 * t));
        phase += kTwoPi * f / kRate;
        float s = 0;
        for (int h = 0; h < 6; ++h)
            if (note.frequency * (h + 1) < 16000) s += level[h] * static_cast<float>(std::sin(phase * (h + 1)));
        const float env =
            envelope(t, 0.025, note.length, release) * static_cast<float>(1 - 0.15 * std::min(1.0, t / 0.6));
        mix.addPanned(first + i, s * env * note.velocity * 0.32f, note.pan);
    }
}

void bass(Mixdown& mix, const Note& note) {
    const double release = 0.06;
    const long first = toFrame(note.start), count = toFrame(note.length + release);
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double w = kTwoPi * note.frequency * t;
        // The pluck: upper harmonics fade faster than the fundamental.
        const float s = static_cast<float>(std::sin(w) + 0.45 * std::exp(-t / 0.12) * std::sin(2 * w) +
                                           0.2 * std::exp(-t / 0.06) * std::sin(3 * w));
        const float env = envelope(t, 0.006, note.length, release) * static_cast<float>(std::exp(-t / 0.9));
        mix.addPanned(first + i, s * env * note.velocity * 0.36f, note.pan);
    }
}

void piano(Mixdown& mix, const Note& note) {
    const double release = 0.15;
    const long first = toFrame(note.start), count = toFrame(note.length + release);
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double index = 0.3 + 2.0 * std::exp(-t / 0.18);  // bright at the strike, then round
        const double w = kTwoPi * note.frequency * t;
        const float s = static_cast<float>(std::sin(w + index * std::sin(w)));
        const float env = envelope(t, 0.004, note.length, release) * static_cast<float>(std::exp(-t / 1.2));
        mix.addPanned(first + i, s * env * note.velocity * 0.18f, note.pan);
    }
}

void strings(Mixdown& mix, const Note& note) {
    // Three slightly detuned voices of a soft saw-like tone.
    const double detune[] = {-0.0035, 0.0, 0.0041};
    const double release = 0.4;
    const long first = toFrame(note.start), count = toFrame(note.length + release);
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        float s = 0;
        for (double d : detune) {
            const double w = kTwoPi * note.frequency * (1 + d) * t;
            for (int h = 1; h <= 8; ++h)
                if (note.frequency * h < 12000) s += static_cast<float>(std::sin(w * h + d * 1000 * h) / (h * h));
        }
        const float env = envelope(t, 0.25, note.length, release);
        mix.addPanned(first + i, s * env * note.velocity * 0.08f, note.pan);
    }
}

void sleighBells(Mixdown& mix, double start, double length, float velocity, float pan, uint32_t seed) {
    Lcg rng(seed);
    // A handful of jingles struck at slightly different moments through the shake. Each jingle
    // is a little bell (a few high, quickly fading inharmonic partials) plus the rattle of its
    // pellet (a burst of broad high noise).
    const int jingles = 3 + static_cast<int>(length * 40);
    for (int j = 0; j < jingles; ++j) {
        const double at = start + length * j / jingles + rng.range(0, 0.006f);
        const float loud = velocity * (j == 0 ? 1.0f : 0.6f) * rng.range(0.6f, 1.0f);
        double freq[4], decay[4], phase[4];
        for (int p = 0; p < 4; ++p) {
            freq[p] = rng.range(2600, 9000);
            decay[p] = rng.range(0.025f, 0.07f);
            phase[p] = rng.range(0, 6.28f);
        }
        BandPass rattle(rng.range(5000, 7000), 1.2);
        const long first = toFrame(at), count = toFrame(0.4);
        const float jpan = std::clamp(pan + rng.range(-0.2f, 0.2f), -1.0f, 1.0f);
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            float s = 0;
            for (int p = 0; p < 4; ++p)
                s += static_cast<float>(std::exp(-t / decay[p]) * std::sin(kTwoPi * freq[p] * t + phase[p]));
            s += rattle.process(rng.range(-1, 1)) * 1.6f * static_cast<float>(std::exp(-t / 0.012));
            const float attack = static_cast<float>(std::min(1.0, t / 0.0005));
            mix.addPanned(first + i, s * attack * loud * 0.3f, jpan);
        }
    }
}

void kick(Mixdown& mix, double start, float velocity) {
    const long first = toFrame(start), count = toFrame(0.35);
    double phase = 0;
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f = 48 + 70 * std::exp(-t / 0.03);
        phase += kTwoPi * f / kRate;
        const float env = static_cast<float>(std::exp(-t / 0.11) * std::min(1.0, t / 0.002)) *
                          static_cast<float>(std::min(1.0, (0.35 - t) / 0.05));
        mix.addPanned(first + i, static_cast<float>(std::sin(phase)) * env * velocity * 0.5f, 0);
    }
}

}  // namespace instrument
