// SPDX-License-Identifier: MIT
#include "game/gravity_timer.h"

#include <SDL.h>

#include <climits>
#include <cstdint>

namespace {

// Runs on SDL's timer thread: it touches nothing of the game, it only queues an event carrying
// the serial of the start that made this timer.
Uint32 postGravityEvent(Uint32 interval, void* serial) {
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    event.user.code = static_cast<int>(reinterpret_cast<std::intptr_t>(serial));
    SDL_PushEvent(&event);
    return interval;
}

}  // namespace

GravityTimer::~GravityTimer() { stop(); }

void GravityTimer::start(int intervalMs) {
    stop();
    lastSerial_ = lastSerial_ == INT_MAX ? 1 : lastSerial_ + 1;
    handle_ = SDL_AddTimer(static_cast<Uint32>(intervalMs), postGravityEvent,
                           reinterpret_cast<void*>(static_cast<std::intptr_t>(lastSerial_)));
    if (handle_ == nullptr) return;
    serial_ = lastSerial_;
    interval_ = intervalMs;
}

void GravityTimer::stop() {
    // Each handle is removed once: to SDL a removed handle is gone.
    if (handle_ != nullptr) SDL_RemoveTimer(static_cast<SDL_TimerID>(handle_));
    handle_ = nullptr;
    serial_ = 0;
    interval_ = 0;
}
