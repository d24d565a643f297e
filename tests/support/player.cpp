// SPDX-License-Identifier: MIT
#include "support/player.h"

#include <cstring>
#include <regex>
#include <sstream>
#include <stdexcept>

Player::Player(const Files& files, GameProcess::Start start) {
    Files withSound = files;
    withSound.emplace("audio.raw", "");  // made beforehand, so that a game locked in its directory may write it
    // Now and then the game runs but draws nothing in a window for a long while (seen under Xvfb;
    // the cause is not known): such a start is given up after 30 s and made again.
    for (int attempt = 0; attempt < 4 && !window; ++attempt) {
        game = std::make_unique<GameProcess>(Files{{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", "audio.raw"}},
                                             withSound, start);
        if (!waitUntil([&] { return grab().lit(0, 0, 640, 480) > 0 || !game->running(); }, std::chrono::seconds(30)) ||
            !game->running())
            window = 0;
    }
    if (!window) throw std::runtime_error("the game drew nothing in a window; its output: " + game->output());
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
