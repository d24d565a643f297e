// SPDX-License-Identifier: MIT
#include "support/player.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

Player::Player(const std::string& config) {
    const std::string data = std::string(YT_SOURCE_DIR) + "/data";
    if (symlink(data.c_str(), dir_.file("data").c_str()) != 0) std::abort();
    dir_.write("game.cfg", config);
}

Player::~Player() {
    if (process_ && process_->running()) {
        closeWindow();
        process_->wait(std::chrono::milliseconds(5000), nullptr);
    }
}

bool Player::start(std::string* why) {
    // Now and then the game runs but no window of it reaches the X server for a while (seen
    // under Xvfb; the cause is not understood). Such a start is abandoned after 15 s and the game
    // started again, for up to two minutes.
    for (int attempt = 0; attempt < 8; ++attempt) {
        process_ = std::make_unique<GameProcess>(
            YT_GAME_BINARY, dir_.path(),
            std::map<std::string, std::string>{{"SDL_AUDIODRIVER", "disk"},
                                               {"SDL_DISKAUDIOFILE", dir_.file("audio.raw")}});
        if (waitUntil([&] { return (window_ = gameWindow()) != 0 || !process_->running(); },
                      std::chrono::milliseconds(15000)) &&
            window_ != 0)
            break;
        process_.reset();
    }
    if (!process_) {
        if (why) *why = "the game never showed its window";
        return false;
    }
    // Wait for the first drawn frame, then give the window the keyboard: key events go to the
    // focused window, and without a window manager the test focuses it itself.
    if (!waitUntil(
            [&] {
                if (const unsigned long w = gameWindow()) window_ = w;
                return grab().count(0, 0, 640, 480, XScreen::isLit) > 0 || !process_->running();
            },
            std::chrono::milliseconds(30000))) {
        if (why)
            *why = "nothing drawn in window " + std::to_string(window_) + " of " +
                   runCommand({"xdotool", "search", "--pid", std::to_string(process_->pid())}) +
                   "; output: " + process_->output();
        return false;
    }
    runCommand({"xdotool", "windowfocus", "--sync", std::to_string(window_)});
    return true;
}

unsigned long Player::gameWindow() {
    // xdotool reads the windows' _NET_WM_PID, so no other window of the same title is taken. SDL
    // may briefly show more than one window while it sets the video mode: take the largest.
    std::istringstream ids(
        runCommand({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(process_->pid())}));
    unsigned long best = 0;
    long bestArea = 0;
    for (unsigned long id; ids >> id;) {
        const auto size = screen_.windowSize(id);
        if (const long area = static_cast<long>(size[0]) * size[1]; area > bestArea) {
            best = id;
            bestArea = area;
        }
    }
    return best;
}

XScreen::Image Player::grab() {
    XScreen::Image img = screen_.grab(window_);
    if (img.width == 0) {
        if (const unsigned long w = gameWindow()) {
            window_ = w;
            runCommand({"xdotool", "windowfocus", "--sync", std::to_string(window_)});
            img = screen_.grab(window_);
        }
    }
    return img;
}

void Player::closeWindow() {
    if (!process_) return;
    if (const unsigned long w = gameWindow()) window_ = w;
    screen_.closeWindow(window_);
}

void Player::press(const std::string& keys) {
    std::vector<std::string> argv{"xdotool", "key", "--delay", "60"};
    std::istringstream words(keys);
    for (std::string k; words >> k;) argv.push_back(k);
    runCommand(argv);
}

bool Player::waitForScreen(const std::function<bool(const XScreen::Image&)>& test, std::chrono::milliseconds limit) {
    XScreen::Image last;
    const bool seen = waitUntil([&] { return test(last = grab()); }, limit);
    // YT_E2E_DUMP names a directory that keeps what the window showed when a wait failed.
    static int failures = 0;
    if (const char* dump = std::getenv("YT_E2E_DUMP"); !seen && dump && *dump)
        last.writePpm(std::string(dump) + "/wait-failed-" + std::to_string(++failures) + ".ppm");
    return seen;
}

int Player::waitForExit(std::chrono::milliseconds limit) {
    int status = -1;
    if (!process_ || !process_->wait(limit, &status)) return -1;
    return status;
}

int Player::recentAudioPeak(int ms) {
    std::ifstream in(dir_.file("audio.raw"), std::ios::binary | std::ios::ate);
    if (!in) return -1;
    const std::streamoff size = in.tellg();
    const std::streamoff want = static_cast<std::streamoff>(ms) * 44100 / 1000 * 4;
    if (size < 4) return -1;
    const std::streamoff from = (size > want ? size - want : 0) / 4 * 4;
    in.seekg(from);
    std::vector<char> bytes(static_cast<size_t>(size - from));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    int peak = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const int s = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
        peak = std::max(peak, std::abs(s));
    }
    return peak;
}

bool Player::waitForSound(bool loud, std::chrono::milliseconds limit) {
    return waitUntil(
        [&] {
            const int peak = recentAudioPeak(250);
            return loud ? peak > 1000 : (peak >= 0 && peak < 64);
        },
        limit);
}
