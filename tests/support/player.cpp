// SPDX-License-Identifier: MIT
#include "support/player.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

using namespace std::chrono_literals;

Player::Player(const Files& files) {
    // Now and then the game runs but no window of it reaches the X server for a long while (seen
    // under Xvfb; the cause is not known): such a start is given up after 15 s and made again.
    for (int attempt = 0; attempt < 6 && !window_; ++attempt) {
        game = std::make_unique<GameProcess>(Files{{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", "audio.raw"}},
                                             files);
        waitUntil([&] { return findWindow() || !game->running(); }, 15s);
    }
    if (!window_ || !waitUntil([&] { return grab().lit(0, 0, 640, 480) > 0 || !game->running(); }, 30s) ||
        !game->running())
        throw std::runtime_error("the game drew nothing in a window; its output: " + game->output());
    // Key events go to the focused window; without a window manager the test focuses it itself.
    const std::string id = std::to_string(window_);
    runCommand("xdotool windowfocus --sync " + id + " mousemove --window " + id + " 320 240");
}

bool Player::findWindow() {
    // xdotool reads the windows' _NET_WM_PID, so no other program's window is taken. SDL may show
    // more than one window while it sets the video mode: the largest is the game's.
    std::istringstream ids(runCommand("xdotool search --onlyvisible --pid " + std::to_string(game->pid)));
    long largest = 0;
    for (unsigned long id; ids >> id;)
        if (const auto [w, h] = xscreen::size(id); long{w} * h > largest) {
            largest = long{w} * h;
            window_ = id;
        }
    return largest > 0;
}

xscreen::Image Player::grab() {
    xscreen::Image img = xscreen::grab(window_);
    if (img.width == 0 && findWindow()) {
        runCommand("xdotool windowfocus --sync " + std::to_string(window_));
        img = xscreen::grab(window_);
    }
    return img;
}

void Player::closeWindow() {
    findWindow();
    xscreen::close(window_);
}

void Player::press(const std::string& keys) { runCommand("xdotool key --delay 60 " + keys); }

bool Player::waitForScreen(const std::function<bool(const xscreen::Image&)>& test, std::chrono::milliseconds limit) {
    return waitUntil([&] { return test(grab()); }, limit);
}

std::vector<std::int16_t> Player::audio(std::size_t from) {
    std::ifstream in(game->dir.file("audio.raw"), std::ios::binary | std::ios::ate);
    const auto bytes = in ? static_cast<std::size_t>(in.tellg()) : 0;
    std::vector<std::int16_t> samples(bytes / 2 > from ? bytes / 2 - from : 0);
    in.seekg(static_cast<std::streamoff>(from * 2));
    in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
    return samples;
}
