// SPDX-License-Identifier: MIT
#include "support/player.h"

#include <cstring>
#include <regex>
#include <sstream>
#include <stdexcept>

Player::Player(Launch launch, std::chrono::milliseconds limit) {
    launch.env.merge(Files{{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", "audio.raw"}});
    launch.files.emplace("audio.raw", "");  // made beforehand, so that a game locked in its directory may write it
    game = std::make_unique<GameProcess>(launch);
    if (!waitUntil([&] { return grab().lit(0, 0, 640, 480) > 0 || !game->running(); }, limit) || !game->running())
        throw std::runtime_error("the game drew nothing in a window; it said: " + game->output() + game->errors());
    runCommand("xdotool mousemove --window " + std::to_string(window) + " 320 240");
}

bool Player::findWindow() {
    // xdotool reads the windows' _NET_WM_PID, so no other program's window is taken. SDL may show
    // more than one window while it sets the video mode: the largest is the game's.
    std::istringstream ids(runCommand("xdotool search --onlyvisible --pid " + std::to_string(game->pid)));
    long largest = 0;
    for (unsigned long id; ids >> id;)
        if (const auto [w, h] = xscreen::size(id); long{w} * h > largest) largest = long{w} * h, window = id;
    return largest > 0;
}

xscreen::Image Player::grab() {
    xscreen::Image img = xscreen::grab(window);
    if (img.width > 0 || !findWindow()) return img;
    // A new window, or the first: key events go to the focused window, and without a window
    // manager the test focuses it itself.
    runCommand("xdotool windowfocus --sync " + std::to_string(window));
    return xscreen::grab(window);
}

void Player::press(const std::string& keys) {
    // Each key down and up at once, then a pause: a key held down for SDL's repeat delay (100 ms)
    // would count twice, and one pressed again within 2 ms as held down.
    runCommand("xdotool" + std::regex_replace(" " + keys, std::regex(" +([^ ]+)"), " key --delay 0 $1 sleep 0.03"));
}

const std::vector<std::int16_t>& Player::audio(std::size_t from) {
    const std::string bytes = game->dir.read("audio.raw");
    audio_.assign(bytes.size() / 2 > from ? bytes.size() / 2 - from : 0, 0);
    std::memcpy(audio_.data(), bytes.data() + (audio_.empty() ? 0 : from * 2), audio_.size() * 2);
    return audio_;
}
