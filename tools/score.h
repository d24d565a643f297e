// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// Tunes written as note lists, and the clock that turns beats into seconds.
//
// A melody is a list of "NAME:BEATS" tokens with bars separated by "|": NAME is a pitch such as
// "C5", "F#4" or "Bb3", or "r" for a rest; "-" holds the previous note on (a tie across a bar
// line). Chords are "SYMBOL:BEATS" tokens: a root ("C", "F#", "Bb") with "" (major), "m",
// "7" or "m7". Every bar must add up to the metre; a score that does not is refused.

struct ScoreNote {
    double beat = 0;   // start, in beats from the start of the tune
    double beats = 0;  // length in beats
    int midi = -1;     // MIDI note number; -1 for a rest
};

struct ScoreChord {
    double beat = 0;
    double beats = 0;
    int root = 0;                // pitch class of the root, 0 = C
    std::vector<int> intervals;  // semitones above the root, including 0
};

// Parses a melody starting at `firstBeat`; throws std::runtime_error on a bad token or bar.
std::vector<ScoreNote> parseMelody(const std::string& text, int beatsPerBar, double firstBeat = 0);
std::vector<ScoreChord> parseChords(const std::string& text, int beatsPerBar, double firstBeat = 0);

// Beats to seconds: a steady tempo, slowing down gradually from `ritardandoBeat` on (the beat
// lengthens by `ritardandoRate` of itself per beat).
class Tempo {
public:
    explicit Tempo(double beatsPerMinute, double ritardandoBeat = 1e9, double ritardandoRate = 0)
        : secondsPerBeat_(60.0 / beatsPerMinute), ritBeat_(ritardandoBeat), ritRate_(ritardandoRate) {}

    double secondsPerBeat() const { return secondsPerBeat_; }
    double seconds(double beat) const {
        if (beat <= ritBeat_) return beat * secondsPerBeat_;
        const double b = beat - ritBeat_;
        return (ritBeat_ + b + ritRate_ * b * b / 2) * secondsPerBeat_;
    }
    // Seconds from `beat` to `beat` + `beats`.
    double span(double beat, double beats) const { return seconds(beat + beats) - seconds(beat); }

private:
    double secondsPerBeat_;
    double ritBeat_;
    double ritRate_;
};
