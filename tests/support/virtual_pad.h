// SPDX-License-Identifier: MIT
#pragma once

#include <SDL.h>

// A gamepad made inside the test process. sdl12-compat runs on SDL 2, whose virtual joysticks the
// game then sees through the whole SDL stack as real pads, plugged in and pulled out. The pad is a
// controller SDL knows: SDL 2 maps a virtual one in its own controller order (buttons 0 to 14: A, B,
// X, Y, Back, Guide, Start, the stick clicks, the shoulders, the D-pad; axes 0 to 5: the sticks and
// the triggers), and it has one hat besides, which plain mode presents as the D-pad. Values set take
// effect at the game's next SDL_JoystickUpdate. Pads are pulled out in the reverse order of plugging
// in (SDL 2 renumbers the devices after one that goes).
class VirtualPad {
public:
    // A pad, or with withButtons false a device with three axes and no buttons (an accelerometer).
    explicit VirtualPad(bool withButtons = true) : withButtons_(withButtons) { plugIn(); }
    ~VirtualPad() { pullOut(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void plugIn();
    void pullOut();
    void button(int index, bool down);
    void axis(int index, int value);
    void hat(Uint8 bits);

private:
    bool withButtons_;
    int index_ = -1;            // SDL 2's device index while plugged in
    void* joystick_ = nullptr;  // SDL 2's SDL_Joystick, open while plugged in
};
