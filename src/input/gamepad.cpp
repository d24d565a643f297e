// SPDX-License-Identifier: MIT
#include "input/gamepad.h"

#include <cstdlib>

namespace {

constexpr const char* kControllerModeVariable = "SDL12COMPAT_USE_GAME_CONTROLLERS";

// Where each control sits on a pad, in the two layouts SDL may present.
struct PadLayout {
    std::array<int, kPadControlCount> button;  // button number by PadControl; -1: not a button
    int hat;                                   // the hat that is the D-pad; -1: none
};
// sdl12-compat's game-controller mode: SDL's controller order (A, B, X, Y, Back, Guide, Start, the
// stick clicks, the shoulders, then the D-pad); left stick on axes 0 and 1.
constexpr PadLayout kControllerLayout{{11, 12, 13, 14, 0, 1, 6, 4}, -1};
// Plain mode: as the device numbers them. On the Linux drivers of the common pads the south and east
// buttons are 0 and 1, the D-pad is hat 0 and the left stick axes 0 and 1. Start and Back are left
// out: Xbox pads number them 7 and 6, PlayStation pads 9 and 8 and their L2 and R2 6 and 7, and a
// wrong guess would end a game.
constexpr PadLayout kPlainLayout{{-1, -1, -1, -1, 0, 1, -1, -1}, 0};

// The hat bits of SDL, by direction Up to Right.
constexpr std::array<Uint8, kPadDirectionCount> kHatBits{SDL_HAT_UP, SDL_HAT_DOWN, SDL_HAT_LEFT, SDL_HAT_RIGHT};

// Whether this SDL 1.2 is sdl12-compat (versions 1.2.50 and on; the original ended at 1.2.15) and it
// will start in game-controller mode: it takes the variable as a number, anything but 0 is on.
bool inControllerMode() {
    const char* value = std::getenv(kControllerModeVariable);
    return SDL_Linked_Version()->patch >= 50 && value && std::atoi(value) != 0;
}

}  // namespace

Gamepad::~Gamepad() {
    if (running_ && SDL_WasInit(SDL_INIT_JOYSTICK)) close();
}

void Gamepad::preferControllerLayout() { setenv(kControllerModeVariable, "1", 0); }

void Gamepad::open() {
    opened_ = true;
    lastLook_ = SDL_GetTicks();
    start();
}

void Gamepad::close() {
    stop();
    opened_ = false;
    actions_.release();
}

std::span<const PadControl> Gamepad::poll(std::uint32_t nowMs, bool mayLookForPads) {
    if (!opened_) return {};
    if (mayLookForPads && nowMs - lastLook_ >= kLookEveryMs) {
        lastLook_ = nowMs;
        stop();
        start();
        if (padCount_ == 0) actions_.release();
    }
    if (padCount_ == 0) return {};
    SDL_JoystickUpdate();
    return actions_.update(read(), nowMs);
}

void Gamepad::start() {
    controllerLayout_ = inControllerMode();
    running_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (!running_) return;
    SDL_JoystickEventState(SDL_IGNORE);
    for (int i = 0; i < SDL_NumJoysticks() && padCount_ < kMaxPads; ++i) {
        SDL_Joystick* joystick = SDL_JoystickOpen(i);
        if (!joystick) continue;
        const Pad pad{joystick, SDL_JoystickNumButtons(joystick), SDL_JoystickNumAxes(joystick),
                      SDL_JoystickNumHats(joystick)};
        if (pad.buttons > 0)
            pads_[padCount_++] = pad;
        else
            SDL_JoystickClose(joystick);  // an accelerometer or the like: not a pad
    }
}

void Gamepad::stop() {
    for (int i = 0; i < padCount_; ++i) SDL_JoystickClose(pads_[i].joystick);
    padCount_ = 0;
    if (running_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    running_ = false;
}

PadReading Gamepad::read() const {
    const PadLayout& layout = controllerLayout_ ? kControllerLayout : kPlainLayout;
    PadReading r;
    for (int p = 0; p < padCount_; ++p) {
        const Pad& pad = pads_[p];
        for (std::size_t c = 0; c < kPadControlCount; ++c) {
            const int b = layout.button[c];
            if (b >= 0 && b < pad.buttons && SDL_JoystickGetButton(pad.joystick, b)) r.pressed[c] = true;
        }
        if (layout.hat >= 0 && layout.hat < pad.hats) {
            const Uint8 hat = SDL_JoystickGetHat(pad.joystick, layout.hat);
            for (std::size_t d = 0; d < kPadDirectionCount; ++d)
                if (hat & kHatBits[d]) r.pressed[d] = true;
        }
        if (pad.axes < 2) continue;
        // Of several pads, the stick further out counts on each axis.
        const Sint16 x = SDL_JoystickGetAxis(pad.joystick, 0), y = SDL_JoystickGetAxis(pad.joystick, 1);
        if (std::abs(x) > std::abs(r.stickX)) r.stickX = x;
        if (std::abs(y) > std::abs(r.stickY)) r.stickY = y;
    }
    return r;
}
