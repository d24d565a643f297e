#pragma once

#include <SDL.h>

#include "app/screen_state.h"

struct Settings;

// Owns every long-lived part of the game and steps through the screens. One global instance,
// constructed before the entry function runs and destroyed after it returns.
class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // OpenGL state, lights, display lists, images, font, tunes and the high-score file. Once, after
    // the video mode is set; surface may be null when no mode could be set.
    void init(Settings* settings, SDL_Surface* surface);
    // Viewport and projection for a window of width x height. Once, after init.
    void setProjection(int width, int height);
    // Clears the buffers, draws the current screen and advances its animation by dt milliseconds.
    void drawFrame(float dt);
    // One key press (SDL key symbol), between frames.
    void handleKey(int sym);

    ScreenState state() const { return state_; }

private:
    ScreenState state_ = Logo;
    Settings* settings_ = nullptr;     // not owned; set by init
    SDL_Surface* surface_ = nullptr;   // not owned; null without a video mode
};
