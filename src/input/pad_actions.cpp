// SPDX-License-Identifier: MIT
#include "input/pad_actions.h"

#include <cstdlib>

namespace {

// How far the stick stands out in direction d (PadControl Up to Right); negative when opposite.
int along(const PadReading& r, int d) {
    const int v = d < 2 ? r.stickY : r.stickX;
    return d % 2 == 0 ? -v : v;
}

}  // namespace

std::span<const PadControl> PadActions::update(const PadReading& reading, std::uint32_t nowMs) {
    if (stickDirection_ >= 0 && along(reading, stickDirection_) < kStickOff) stickDirection_ = -1;
    const int x = std::abs(reading.stickX), y = std::abs(reading.stickY);
    if (x <= kStickOn && y <= kStickOn) stickArmed_ = true;
    if (stickDirection_ < 0 && stickArmed_ && (x > kStickOn || y > kStickOn)) {
        const auto d = x > y ? (reading.stickX < 0 ? PadControl::Left : PadControl::Right)
                             : (reading.stickY < 0 ? PadControl::Up : PadControl::Down);
        stickDirection_ = static_cast<int>(d);
    }

    actingCount_ = 0;
    for (std::size_t c = 0; c < kPadControlCount; ++c) {
        const bool held = reading.pressed[c] || static_cast<int>(c) == stickDirection_;
        const bool direction = c < kPadDirectionCount;
        bool acts = held && !held_[c];
        if (acts && direction) next_[c] = nowMs + kFirstRepeatMs;
        // Signed difference: right across the wrap of the tick counter.
        if (held && held_[c] && direction && static_cast<std::int32_t>(nowMs - next_[c]) >= 0) {
            acts = true;
            next_[c] = nowMs + kRepeatMs;
        }
        ignored_[c] = ignored_[c] && held;
        if (acts && !ignored_[c]) acting_[actingCount_++] = static_cast<PadControl>(c);
        held_[c] = held;
    }
    return {acting_.data(), actingCount_};
}

void PadActions::release() {
    held_ = {};
    ignored_ = {};
    stickDirection_ = -1;
    stickArmed_ = false;
    actingCount_ = 0;
}
