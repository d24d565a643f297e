// SPDX-License-Identifier: MIT
#include "support/virtual_pad.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace {

// Calls an SDL 2 function by name, from the library sdl12-compat runs on; the arguments' types must
// be those of its SDL 2 signature.
template <typename R, typename... A>
R sdl2(const char* name, A... args) {
    static void* const lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW);
    void* f = lib ? dlsym(lib, name) : nullptr;
    if (!f) throw std::runtime_error(std::string("no SDL 2 function ") + name);
    return reinterpret_cast<R (*)(A...)>(f)(args...);
}

}  // namespace

void VirtualPad::plugIn() {
    if (joystick_) return;
    // SDL 2's joystick subsystem, started again for every pad and never stopped, so that the game's
    // restarts of its own leave the virtual pads plugged in.
    sdl2<int>("SDL_InitSubSystem", Uint32{0x200});
    // Types 1 (game controller) and 0 (unknown); axes, buttons, hats.
    index_ = withButtons_ ? sdl2<int>("SDL_JoystickAttachVirtual", 1, 6, 15, 1)
                          : sdl2<int>("SDL_JoystickAttachVirtual", 0, 3, 0, 0);
    joystick_ = sdl2<void*>("SDL_JoystickOpen", index_);
}

void VirtualPad::pullOut() {
    if (!joystick_) return;
    sdl2<void>("SDL_JoystickClose", joystick_);
    sdl2<int>("SDL_JoystickDetachVirtual", index_);
    joystick_ = nullptr;
}

void VirtualPad::button(int index, bool down) {
    sdl2<int>("SDL_JoystickSetVirtualButton", joystick_, index, static_cast<Uint8>(down));
}
void VirtualPad::axis(int index, int value) {
    sdl2<int>("SDL_JoystickSetVirtualAxis", joystick_, index, static_cast<Sint16>(value));
}
void VirtualPad::hat(Uint8 bits) { sdl2<int>("SDL_JoystickSetVirtualHat", joystick_, 0, bits); }
