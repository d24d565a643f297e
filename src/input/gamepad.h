// SPDX-License-Identifier: MIT
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <span>

#include "input/pad_actions.h"
#include "input/pad_control.h"

// The player's gamepads through SDL 1.2's joystick API, read as state once per frame (no joystick
// events: they are switched off, so none pile up in SDL's queue of 128 events, where they would
// crowd out key presses and gravity events). Any pad that is open acts; what acts is decided by
// PadActions. On sdl12-compat the pads SDL knows (Xbox, PlayStation, Switch Pro, ...) are read in its
// game-controller mode, with their buttons where SDL's controller order puts them; a pad it does not
// know can be described to it in SDL_GAMECONTROLLERCONFIG. No pad, a joystick subsystem that will not
// start, or devices without buttons: poll hands back nothing and the game runs as without this.
//
// SDL 1.2 lists the joysticks only when its joystick subsystem starts, so looking for pads that were
// plugged in or out means restarting it and opening the pads again. A pad pulled out reads as
// released until then.
class Gamepad {
public:
    static constexpr std::uint32_t kLookEveryMs = 2000;  // a pad plugged in is found this long after
    static constexpr int kMaxPads = 4;

    Gamepad() = default;
    // Closes the pads if SDL still runs them (SDL_Quit has closed them otherwise).
    ~Gamepad();
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;

    // Asks sdl12-compat for its game-controller mode, unless the player has set
    // SDL12COMPAT_USE_GAME_CONTROLLERS. Before SDL_Init, while no other thread reads the environment
    // (sdl12-compat reads it whenever its joystick subsystem starts). Classic SDL 1.2 ignores it.
    static void preferControllerLayout();

    // Starts the joystick subsystem and opens the pads. After SDL_Init.
    void open();
    // Once per frame at nowMs (SDL_GetTicks): reads the pads and hands back the controls that act in
    // this frame, valid until the next call. When mayLookForPads and kLookEveryMs have passed since
    // the last look, first looks for pads plugged in or out. A look restarts the joystick subsystem
    // and opens the pads again, which costs a millisecond or more: the caller may forbid it while a
    // game is played.
    std::span<const PadControl> poll(std::uint32_t nowMs, bool mayLookForPads);
    // Closes the pads and stops the joystick subsystem. Before SDL_Quit.
    void close();
    // What is held now does not act, nor repeat, until it has been let go.
    void ignoreHeld() { actions_.ignoreHeld(); }

    int padCount() const { return padCount_; }
    bool controllerLayout() const { return controllerLayout_; }

private:
    struct Pad {
        SDL_Joystick* joystick = nullptr;  // not owned: SDL's, open while listed in pads_
        int buttons = 0;                   // how many SDL presents; default 0
        int axes = 0;                      // how many SDL presents; default 0
        int hats = 0;                      // how many SDL presents; default 0
    };

    void start();
    void stop();
    PadReading read() const;

    bool opened_ = false;            // between open and close
    bool running_ = false;           // the joystick subsystem started by this object runs
    bool controllerLayout_ = false;  // sdl12-compat presents the pads in SDL's controller order
    std::array<Pad, kMaxPads> pads_{};
    int padCount_ = 0;            // open pads, the first of pads_
    std::uint32_t lastLook_ = 0;  // ms, SDL_GetTicks of the last look (or of open)
    PadActions actions_;
};
