// SPDX-License-Identifier: MIT
#include "score.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace {

// "C", "F#", "Bb": the pitch class and the number of characters read.
int pitchClass(const std::string& s, size_t& used) {
    static const int base[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (s.empty() || s[0] < 'A' || s[0] > 'G') throw std::runtime_error("bad pitch: " + s);
    int pc = base[s[0] - 'A'];
    used = 1;
    if (s.size() > 1 && s[1] == '#') {
        ++pc;
        used = 2;
    } else if (s.size() > 1 && s[1] == 'b') {
        --pc;
        used = 2;
    }
    return (pc + 12) % 12;
}

int midiOf(const std::string& name) {
    size_t used = 0;
    const int pc = pitchClass(name, used);
    if (used >= name.size()) throw std::runtime_error("pitch without octave: " + name);
    const int octave = std::stoi(name.substr(used));
    return 12 * (octave + 1) + pc;  // C4 = 60
}

struct Token {
    std::string name;
    double beats;
};

// Splits "NAME:BEATS ... | ..." into bars of tokens, checking each bar's length.
std::vector<std::vector<Token>> bars(const std::string& text, int beatsPerBar) {
    std::vector<std::vector<Token>> out(1);
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        if (word == "|") {
            out.emplace_back();
            continue;
        }
        const size_t colon = word.find(':');
        if (colon == std::string::npos) throw std::runtime_error("token without length: " + word);
        out.back().push_back({word.substr(0, colon), std::stod(word.substr(colon + 1))});
    }
    for (size_t i = 0; i < out.size(); ++i) {
        double sum = 0;
        for (const Token& t : out[i]) sum += t.beats;
        if (std::fabs(sum - beatsPerBar) > 1e-9)
            throw std::runtime_error("bar " + std::to_string(i + 1) + " lasts " + std::to_string(sum) +
                                     " beats in: " + text.substr(0, 60));
    }
    return out;
}

}  // namespace

std::vector<ScoreNote> parseMelody(const std::string& text, int beatsPerBar, double firstBeat) {
    std::vector<ScoreNote> notes;
    double beat = firstBeat;
    for (const auto& bar : bars(text, beatsPerBar))
        for (const Token& t : bar) {
            if (t.name == "-") {
                if (notes.empty()) throw std::runtime_error("tie with nothing before it");
                notes.back().beats += t.beats;
            } else {
                notes.push_back({beat, t.beats, t.name == "r" ? -1 : midiOf(t.name)});
            }
            beat += t.beats;
        }
    return notes;
}

std::vector<ScoreChord> parseChords(const std::string& text, int beatsPerBar, double firstBeat) {
    std::vector<ScoreChord> chords;
    double beat = firstBeat;
    for (const auto& bar : bars(text, beatsPerBar))
        for (const Token& t : bar) {
            size_t used = 0;
            ScoreChord c{beat, t.beats, pitchClass(t.name, used), {}};
            const std::string quality = t.name.substr(used);
            if (quality.empty())
                c.intervals = {0, 4, 7};
            else if (quality == "m")
                c.intervals = {0, 3, 7};
            else if (quality == "7")
                c.intervals = {0, 4, 7, 10};
            else if (quality == "m7")
                c.intervals = {0, 3, 7, 10};
            else
                throw std::runtime_error("unknown chord: " + t.name);
            chords.push_back(c);
            beat += t.beats;
        }
    return chords;
}
