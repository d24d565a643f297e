// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include "support/game_process.h"
#include "support/x_screen.h"

// Plays the real game as a person would: the game in a window of the test's X server, keys pressed
// through XTEST (xdotool), so that they arrive as real key events, the window read back, and the
// sound heard through SDL's disk audio driver (16-bit stereo at 44100 Hz, into audio.raw).
class Player {
public:
    // Starts the game as `launch` says (game.cfg among its files, windowed), its sound written by
    // SDL's disk driver, and waits up to `limit` for its first drawn frame; then its window has the
    // keyboard and the pointer. Throws, with what the game said, if it never shows one.
    explicit Player(Launch launch, std::chrono::milliseconds limit = std::chrono::seconds(30));

    void press(const std::string& keys);  // in xdotool's names: "Return", "shift+b", "space"
    xscreen::Image grab();                // follows the game to a new window if SDL has replaced its own
    bool waitForScreen(const std::function<bool(const xscreen::Image&)>& test,
                       std::chrono::milliseconds limit = std::chrono::seconds(15)) {
        return waitUntil([&] { return test(grab()); }, limit);
    }
    // The samples written since sample `from`, kept until the next call.
    const std::vector<std::int16_t>& audio(std::size_t from = 0);

    std::unique_ptr<GameProcess> game;
    unsigned long window = 0;  // the game's, once it has shown one

private:
    bool findWindow();
    std::vector<std::int16_t> audio_;
};
