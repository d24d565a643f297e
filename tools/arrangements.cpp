// SPDX-License-Identifier: MIT
#include "arrangements.h"

#include <algorithm>
#include <cmath>

#include "instruments.h"
#include "score.h"

namespace {

// MIDI note of pitch class `pc` in the octave range [low, low + 12).
int placed(int pc, int low) {
    int m = low + ((pc - low) % 12 + 12) % 12;
    return m;
}

Note noteAt(const Tempo& tempo, double beat, double beats, int midi, float velocity, float pan) {
    return {tempo.seconds(beat), tempo.span(beat, beats), midiFrequency(midi), velocity, pan};
}

// The melody on the lead, doubled an octave up on the bells.
void playMelody(Mixdown& mix, const Tempo& tempo, const std::vector<ScoreNote>& melody, double from, double to,
                float leadLevel, float bellLevel) {
    for (const ScoreNote& n : melody) {
        if (n.midi < 0 || n.beat < from || n.beat >= to) continue;
        // Slightly detached notes, so repeated pitches are heard as separate notes.
        const double held = std::max(0.25, n.beats - 0.12);
        if (leadLevel > 0) instrument::lead(mix, noteAt(tempo, n.beat, held, n.midi, leadLevel, 0.1f));
        if (bellLevel > 0) instrument::bells(mix, noteAt(tempo, n.beat, n.beats, n.midi + 12, bellLevel, -0.25f));
    }
}

// The chord's tones as a close voicing from `low` up, spread across the stereo field.
void playChord(Mixdown& mix, const Tempo& tempo, const ScoreChord& c, double beat, double beats, int low,
               float velocity, bool sustained) {
    const size_t n = c.intervals.size();
    for (size_t i = 0; i < n; ++i) {
        const int midi = placed(c.root + c.intervals[i], low);
        const float pan = n > 1 ? -0.45f + 0.9f * static_cast<float>(i) / static_cast<float>(n - 1) : 0;
        const Note note = noteAt(tempo, beat, beats, midi, velocity, sustained ? pan * 0.8f : -pan * 0.6f);
        if (sustained)
            instrument::strings(mix, note);
        else
            instrument::piano(mix, note);
    }
}

int bassRoot(const ScoreChord& c) { return placed(c.root, 40); }  // E2 .. D#3

// Bass note `step` of a walking line over the chord: root, third, fifth, sixth (or seventh).
int walking(const ScoreChord& c, int step) {
    const int root = bassRoot(c);
    const bool minor = std::find(c.intervals.begin(), c.intervals.end(), 3) != c.intervals.end();
    const bool seventh = std::find(c.intervals.begin(), c.intervals.end(), 10) != c.intervals.end();
    const int steps[4] = {0, minor ? 3 : 4, 7, seventh ? 10 : 9};
    return root + steps[step % 4];
}

}  // namespace

Mixdown arrangeJingleBells() {
    const Tempo tempo(144);
    constexpr int kBar = 4;
    const std::vector<ScoreNote> melody = parseMelody(
        // Verse
        "G4:1 E5:1 D5:1 C5:1 | G4:3 G4:0.5 G4:0.5 | G4:1 E5:1 D5:1 C5:1 | A4:4 | "
        "A4:1 F5:1 E5:1 D5:1 | B4:4 | G5:1 G5:1 F5:1 D5:1 | E5:4 | "
        "G4:1 E5:1 D5:1 C5:1 | G4:4 | G4:1 E5:1 D5:1 C5:1 | A4:3 A4:1 | "
        "A4:1 F5:1 E5:1 D5:1 | G5:1 G5:1 G5:1 G5:1 | A5:1 G5:1 F5:1 D5:1 | C5:2 r:2 | "
        // Chorus
        "E5:1 E5:1 E5:2 | E5:1 E5:1 E5:2 | E5:1 G5:1 C5:1.5 D5:0.5 | E5:4 | "
        "F5:1 F5:1 F5:1.5 F5:0.5 | F5:1 E5:1 E5:1 E5:0.5 E5:0.5 | E5:1 D5:1 D5:1 E5:1 | D5:2 G5:2 | "
        "E5:1 E5:1 E5:2 | E5:1 E5:1 E5:2 | E5:1 G5:1 C5:1.5 D5:0.5 | E5:4 | "
        "F5:1 F5:1 F5:1.5 F5:0.5 | F5:1 E5:1 E5:1 E5:0.5 E5:0.5 | G5:1 G5:1 F5:1 D5:1 | C5:4",
        kBar);
    const std::vector<ScoreChord> chords = parseChords(
        "C:4 | C:4 | C:4 | F:4 | F:4 | G:4 | G7:4 | C:4 | C:4 | C:4 | C:4 | F:4 | F:4 | G7:4 | G7:4 | C:4 | "
        "C:4 | C:4 | C:4 | C:4 | F:4 | C:4 | D7:4 | G7:4 | C:4 | C:4 | C:4 | C:4 | F:4 | C:4 | G7:4 | C:4",
        kBar);
    const double verseEnd = 16 * kBar, songEnd = 32 * kBar;
    Mixdown mix(static_cast<size_t>(std::lround(tempo.seconds(songEnd) * Mixdown::kRate)), true);

    playMelody(mix, tempo, melody, 0, verseEnd, 0.75f, 0.28f);
    playMelody(mix, tempo, melody, verseEnd, songEnd, 0.8f, 0.55f);

    for (const ScoreChord& c : chords) {
        const bool chorus = c.beat >= verseEnd;
        for (int b = 0; b < kBar; ++b) {
            const double beat = c.beat + b;
            // Bass: two to the bar in the verse, walking in the chorus.
            if (chorus) {
                instrument::bass(mix, noteAt(tempo, beat, 0.85, walking(c, b), b % 2 == 0 ? 0.9f : 0.75f, 0));
            } else if (b % 2 == 0) {
                const int midi = b == 0 ? bassRoot(c) : bassRoot(c) + 7;
                instrument::bass(mix, noteAt(tempo, beat, 0.9, midi, 0.85f, 0));
            }
            // Piano on the off-beats.
            if (b % 2 == 1) playChord(mix, tempo, c, beat, 0.45, 57, chorus ? 0.75f : 0.65f, false);
            // Sleigh bells: taps on the beats in the verse; eighths and shakes in the chorus.
            const uint32_t seed = static_cast<uint32_t>(beat * 2 + 1);
            if (chorus) {
                instrument::sleighBells(mix, tempo.seconds(beat), b % 2 == 1 ? 0.28 : 0.04, b % 2 == 1 ? 0.5f : 0.42f,
                                        0.35f, seed);
                instrument::sleighBells(mix, tempo.seconds(beat + 0.5), 0.03, 0.26f, 0.35f, seed + 7919);
                if (b % 2 == 0) instrument::kick(mix, tempo.seconds(beat), 0.55f);
            } else {
                instrument::sleighBells(mix, tempo.seconds(beat), 0.04, b % 2 == 1 ? 0.4f : 0.3f, 0.35f, seed);
            }
        }
        if (chorus) playChord(mix, tempo, c, c.beat, c.beats - 0.1, 52, 0.55f, true);
    }
    // A run on the bells into the chorus, where the verse's melody rests.
    const int run[] = {67, 72, 76, 79};
    for (int i = 0; i < 4; ++i)
        instrument::bells(mix, noteAt(tempo, verseEnd - 2 + 0.5 * i, 0.5, run[i] + 12, 0.45f, 0.3f));
    instrument::sleighBells(mix, tempo.seconds(verseEnd - 1), 0.4, 0.5f, 0.35f, 4242);

    mix.addReverb(0.4f, 0.55f);
    mix.highPass();
    return mix;
}

Mixdown arrangeMerryChristmas() {
    constexpr int kBar = 3;
    const double ritFrom = 15 * kBar;  // the last line slows down
    const Tempo tempo(144, ritFrom, 0.067);
    const std::vector<ScoreNote> melody = parseMelody(
        "r:2 D4:1 | "
        "G4:1 G4:0.5 A4:0.5 G4:0.5 F#4:0.5 | E4:1 E4:1 E4:1 | A4:1 A4:0.5 B4:0.5 A4:0.5 G4:0.5 | "
        "F#4:1 D4:1 D4:1 | B4:1 B4:0.5 C5:0.5 B4:0.5 A4:0.5 | G4:1 E4:1 D4:0.5 D4:0.5 | "
        "E4:1 A4:1 F#4:1 | G4:2 D4:1 | "
        "G4:1 G4:1 G4:1 | F#4:2 F#4:1 | G4:1 F#4:1 E4:1 | D4:2 A4:1 | B4:1 A4:1 G4:1 | "
        "D5:1 D4:1 D4:0.5 D4:0.5 | E4:1 A4:1 F#4:1 | G4:3 | -:3",
        kBar);
    const std::vector<ScoreChord> chords = parseChords(
        "G:3 | G:3 | C:3 | A7:3 | D:3 | B7:3 | Em:3 | Am:1 D7:2 | G:3 | "
        "G:3 | D:3 | A7:3 | D:3 | G:3 | G:3 | Am:1 D7:2 | G:3 | G:3",
        kBar);
    const double lastBar = 17 * kBar, end = 18 * kBar;
    const double tail = 3.2;  // seconds for the last chord and the room to ring out
    Mixdown mix(static_cast<size_t>(std::lround((tempo.seconds(end) + tail) * Mixdown::kRate)), false);

    playMelody(mix, tempo, melody, 0, end, 0.8f, 0.5f);
    for (const ScoreChord& c : chords) {
        if (c.beat < kBar || c.beat >= lastBar) continue;  // intro and ending are played below
        for (int b = 0; b < static_cast<int>(c.beats); ++b) {
            const double beat = c.beat + b;
            const bool downbeat = std::fmod(beat, kBar) < 1e-9;
            if (downbeat)
                instrument::bass(mix, noteAt(tempo, beat, 0.9, bassRoot(c), 0.9f, 0));
            else
                playChord(mix, tempo, c, beat, 0.4, 57, 0.7f, false);
            const uint32_t seed = static_cast<uint32_t>(beat * 3 + 11);
            const bool shake = downbeat && static_cast<int>(beat / kBar) % 2 == 1;
            instrument::sleighBells(mix, tempo.seconds(beat), shake ? 0.3 : 0.04, downbeat ? 0.45f : 0.3f, 0.35f, seed);
        }
        playChord(mix, tempo, c, c.beat, c.beats - 0.05, 52, 0.4f, true);
    }
    // Introduction: bells climb the G chord while the sleigh bells shake.
    const int intro[] = {67, 71, 74};
    for (int i = 0; i < 2; ++i) instrument::bells(mix, noteAt(tempo, i, 1, intro[i] + 12, 0.5f, -0.2f));
    playChord(mix, tempo, chords.front(), 0, 3, 52, 0.35f, true);
    instrument::sleighBells(mix, tempo.seconds(0), 0.6, 0.45f, 0.35f, 77);
    instrument::bass(mix, noteAt(tempo, 0, 2.5, 43, 0.8f, 0));

    // Ending: the final chord held and rolled, the bells rising to the top, one last shake.
    const double endSeconds = tempo.seconds(end) + tail;
    auto held = [&](double beat) { return endSeconds - tempo.seconds(beat) - 1.2; };
    const int roll[] = {55, 59, 62, 67, 71};
    for (int i = 0; i < 5; ++i)
        instrument::piano(mix, {tempo.seconds(lastBar) + 0.06 * i, held(lastBar), midiFrequency(roll[i]), 0.7f,
                                -0.4f + 0.2f * static_cast<float>(i)});
    const int rise[] = {79, 83, 86, 91};
    for (int i = 0; i < 4; ++i)
        instrument::bells(mix,
                          noteAt(tempo, lastBar + 0.5 * i, 1, rise[i], 0.5f, -0.3f + 0.2f * static_cast<float>(i)));
    instrument::strings(mix, {tempo.seconds(lastBar), held(lastBar), midiFrequency(55), 0.5f, -0.3f});
    instrument::strings(mix, {tempo.seconds(lastBar), held(lastBar), midiFrequency(59), 0.5f, 0.3f});
    instrument::strings(mix, {tempo.seconds(lastBar), held(lastBar), midiFrequency(62), 0.5f, 0.0f});
    instrument::bass(mix, {tempo.seconds(lastBar), held(lastBar), midiFrequency(43), 0.9f, 0});
    instrument::kick(mix, tempo.seconds(lastBar), 0.5f);
    instrument::sleighBells(mix, tempo.seconds(lastBar), 1.2, 0.45f, 0.35f, 99);

    mix.addReverb(0.4f, 0.55f);
    mix.highPass();
    mix.fadeOut(0.8);
    return mix;
}
