// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstdint>

// The frame time `dt` handed to every animation: the whole milliseconds from the previous frame's
// reading of SDL's 32-bit tick counter to this frame's, right across the counter's wrap.
//
// Each frame first spins, without sleeping, until the counter has moved on from the previous
// reading, so at most one frame is drawn per tick and dt is never 0: a frame that costs under a
// millisecond gets dt = 1, a slower one its real cost. A stall (the process stopped, the machine
// suspended, the loop blocked while a window is dragged) counts as at most kMaxDt, so it pauses the
// animations instead of fast-forwarding them. The first frame has no previous reading: it waits
// for the next tick from its own first reading.
class FrameClock {
public:
    static constexpr std::uint32_t kMaxDt = 100;  // ms

    // `now` reads the tick counter: SDL_GetTicks in the game, a fake clock in tests.
    template <typename Now>
    float next(Now now) {
        if (!started_) {
            last_ = now();
            started_ = true;
        }
        std::uint32_t t = now();
        while (t == last_) t = now();
        const std::uint32_t dt = std::min(t - last_, kMaxDt);
        last_ = t;
        return static_cast<float>(dt);
    }

private:
    std::uint32_t last_ = 0;  // the previous frame's tick reading, ms
    bool started_ = false;    // false until the first frame has read the counter
};
