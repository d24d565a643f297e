// SPDX-License-Identifier: MIT
#include "app/game_main.h"

#include <GL/gl.h>
#include <SDL.h>

#include "app/application.h"
#include "app/frame_clock.h"
#include "app/log_line.h"
#include "files/settings.h"
#include "input/gamepad.h"

namespace {
constexpr const char* kSettingsFile = "game.cfg";
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr const char* kRule = "-------------------------------";

const char* glText(GLenum what) { return orEmpty(reinterpret_cast<const char*>(glGetString(what))); }
}  // namespace

bool pumpEvents(Application& app) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_KEYDOWN: app.handleKey(event.key.keysym.sym); break;
            case SDL_USEREVENT: app.onGravityEvent(event.user.code); break;
            case SDL_QUIT: return false;
            default: break;
        }
    }
    return true;
}

int runGame(Application& app, Settings& settings) {
    settings.load(kSettingsFile);
    Gamepad::preferControllerLayout();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0) {
        logLine({"Couldn't init SDL"});
        return -1;
    }
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    Uint32 flags = SDL_OPENGL;
    if (settings.fullscreen) flags |= SDL_FULLSCREEN;
    SDL_Surface* surface = SDL_SetVideoMode(kWidth, kHeight, 0, flags);

    char driver[512] = "";
    if (!SDL_VideoDriverName(driver, sizeof driver)) driver[0] = '\0';
    // Without a video mode there is no OpenGL context, and not every GL library survives a call
    // without one: the GL strings are then logged as empty text.
    const bool haveContext = surface != nullptr;
    logLine({"SDL Video Driver-name: ", driver});
    logLine({"OpenGL Infos"});
    logLine({kRule});
    logLine({" Vendor: ", haveContext ? glText(GL_VENDOR) : ""});
    logLine({" Extensions: ", haveContext ? glText(GL_EXTENSIONS) : ""});
    logLine({kRule});
    if (!surface) {
        logLine({"Couldn't go fullscreen"});
        logLine({orEmpty(SDL_GetError())});
    }

    SDL_EnableKeyRepeat(100, 150);
    app.init(&settings, surface);
    app.setProjection(kWidth, kHeight);
    SDL_ShowCursor(0);
    Gamepad pad;
    pad.open();

    // The swap interval is left to the platform: every animation advances by the real frame time,
    // so frames held to the display's refresh (SDL12COMPAT_SYNC_TO_VBLANK=1) only spare the processor.
    FrameClock clock;
    for (;;) {
        // The pad's controls first: one on the farewell screen queues the quit this pump then takes.
        // Looking for pads plugged in or out costs a millisecond or more, so not while a game is in
        // play: one plugged in then is found when the game is paused or left.
        for (PadControl control : pad.poll(SDL_GetTicks(), !app.gameInPlay())) app.handlePad(control);
        if (!pumpEvents(app)) break;
        const float dt = clock.next([] { return SDL_GetTicks(); });
        app.drawFrame(dt);
        SDL_GL_SwapBuffers();
    }

    SDL_ShowCursor(1);
    settings.save(kSettingsFile);
    pad.close();
    app.shutdown();  // the GL objects, timer and sound go while the window and SDL still live
    SDL_Quit();
    return 0;
}
