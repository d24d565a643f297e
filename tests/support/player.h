// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "support/game_process.h"
#include "support/temp_dir.h"
#include "support/x_screen.h"

// Plays the real game as a person would: a temporary working directory holding a link to the real
// data/ and the prepared files, the game in a window under the test's X server, key presses sent
// through xdotool (XTEST, so they arrive as real key events), and the window read back. Sound goes
// to SDL's disk audio driver, so the tests can listen too.
class Player {
public:
    // `config` is written to game.cfg ("fullscreen music reflection snowflakes"); keep fullscreen 0.
    explicit Player(const std::string& config = "0 0 1 1");
    ~Player();

    TempDir& dir() { return dir_; }
    bool displayAvailable() const { return screen_.ok(); }

    // Starts the game and waits for its window; false (with the game's output) on failure.
    bool start(std::string* why = nullptr);
    // Presses keys in xdotool names ("Return", "Up", "shift+a", "space"); each a press and release.
    void press(const std::string& keys);
    // Waits until the window shows something that satisfies `test`, or `limit` passes.
    bool waitForScreen(const std::function<bool(const XScreen::Image&)>& test,
                       std::chrono::milliseconds limit = std::chrono::milliseconds(15000));
    // The window's pixels; finds the window again if SDL has replaced it.
    XScreen::Image grab();
    // Asks the game window to close, as the window manager's close button does.
    void closeWindow();
    // Waits for the game to end; its exit status, or -1 if it did not end in time.
    int waitForExit(std::chrono::milliseconds limit = std::chrono::milliseconds(20000));
    bool running() { return process_ && process_->running(); }
    std::string output() { return process_ ? process_->output() : std::string(); }

    // Peak absolute sample of the last `ms` milliseconds the game has written to its disk audio
    // file (16-bit stereo at 44100 Hz); -1 when there is no output yet.
    int recentAudioPeak(int ms);
    // Waits for the audio output to become loud (peak above 1000) or silent (peak below 64).
    bool waitForSound(bool loud, std::chrono::milliseconds limit = std::chrono::milliseconds(10000));

    // Counts pixels of a colour in a text-screen rectangle (window pixels, origin bottom left).
    static int red(const XScreen::Image& img, int x0, int y0, int x1, int y1) {
        return img.count(x0, y0, x1, y1, XScreen::isRed);
    }
    static int white(const XScreen::Image& img, int x0, int y0, int x1, int y1) {
        return img.count(x0, y0, x1, y1, XScreen::isWhite);
    }
    static int lit(const XScreen::Image& img, int x0, int y0, int x1, int y1) {
        return img.count(x0, y0, x1, y1, XScreen::isLit);
    }

private:
    unsigned long gameWindow();  // the game's visible window, 0 while there is none

    TempDir dir_;
    XScreen screen_;
    std::unique_ptr<GameProcess> process_;
    unsigned long window_ = 0;
};
