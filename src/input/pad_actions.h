// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "input/pad_control.h"
#include "input/pad_reading.h"

// Turns the pads' readings, one frame at a time, into the controls that act in that frame, the way
// the keyboard acts: a button acts once when it is pressed; a direction acts when it goes down, again
// 100 ms later and then every 150 ms while it is held. The D-pad or the left stick holds a direction.
// The stick holds one direction at a time, that of the axis further out, from beyond half its range
// until it falls below a third, so a worn stick resting a little off centre, or one springing back,
// moves nothing; and only once it has been seen within half its range since the pad came, so an axis
// that rests at its end (a pedal, a broken stick) never holds. Allocates nothing.
class PadActions {
public:
    static constexpr std::uint32_t kFirstRepeatMs = 100;
    static constexpr std::uint32_t kRepeatMs = 150;
    static constexpr int kStickOn = 16384;   // |axis| beyond this holds: half the range
    static constexpr int kStickOff = 10923;  // |axis| below this lets go: a third of the range

    // The controls that act in the frame at nowMs (SDL's millisecond ticks; the counter may wrap),
    // in PadControl order. Valid until the next call.
    std::span<const PadControl> update(const PadReading& reading, std::uint32_t nowMs);
    // The pads have gone: nothing is held any more, and the stick must come within half again.
    void release();
    // What is held now does not act, nor repeat, until it has been let go.
    void ignoreHeld() { ignored_ = held_; }

private:
    std::array<bool, kPadControlCount> held_{};             // held in the last frame; all up
    std::array<bool, kPadControlCount> ignored_{};          // held through ignoreHeld, until let go
    std::array<std::uint32_t, kPadDirectionCount> next_{};  // ms; when each held direction acts again
    int stickDirection_ = -1;                               // the direction the stick holds; -1 none
    bool stickArmed_ = false;                               // seen within kStickOn since the pad came
    std::array<PadControl, kPadControlCount> acting_{};     // this frame's, the first actingCount_
    std::size_t actingCount_ = 0;
};
