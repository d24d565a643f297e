// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// Milliseconds from t0 to t1 on SDL's 32-bit tick counter, right across its wrap.
inline std::uint32_t tickDelta(std::uint32_t t0, std::uint32_t t1) { return t1 - t0; }

// The frame time: reads the tick counter once, then spins, without sleeping, until it changes, and
// returns the whole milliseconds waited (never 0). `now` is SDL_GetTicks in the game and a fake
// clock in tests. This measures only the wait for the next tick, not the frame: it is 1 in almost
// every frame, so every animation advances about one millisecond's worth per frame.
template <typename Clock>
float waitForNextTick(Clock now) {
    const std::uint32_t t0 = now();
    std::uint32_t t1 = now();
    while (t1 == t0) t1 = now();
    return static_cast<float>(tickDelta(t0, t1));
}
