// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "mixdown.h"

// One note for an instrument: when, how long, which pitch, how loud and where.
struct Note {
    double start = 0;      // seconds from the start of the tune
    double length = 0;     // seconds the note is held
    double frequency = 0;  // Hz
    float velocity = 1;    // 0-1
    float pan = 0;         // -1 left .. 1 right
};

// Frequency of MIDI note number `midi` (69 = A4 = 440 Hz, equal temperament).
double midiFrequency(int midi);

// The instruments of the arrangements, each adding its sound to the mixdown. All shape their
// notes with smooth attacks and releases, so no note clicks.
namespace instrument {

// Glockenspiel: bright bar partials that ring on after the note.
void bells(Mixdown& mix, const Note& note);
// A mellow, flute-like lead with a gentle delayed vibrato.
void lead(Mixdown& mix, const Note& note);
// Plucked upright bass.
void bass(Mixdown& mix, const Note& note);
// Electric piano (two-operator FM) for the chords.
void piano(Mixdown& mix, const Note& note);
// Soft strings for sustained chords.
void strings(Mixdown& mix, const Note& note);
// A shake of sleigh bells: `length` seconds of jingles (short for a tap, longer for a shake).
void sleighBells(Mixdown& mix, double start, double length, float velocity, float pan, uint32_t seed);
// A soft, low drum.
void kick(Mixdown& mix, double start, float velocity);

}  // namespace instrument
