// SPDX-License-Identifier: MIT
#include "app/game_main.h"

#include <GL/gl.h>
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

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

// SDL turns SIGINT and SIGTERM into a quit event; a hang-up (the terminal the game was started
// from closed) ends the game the same way, through the event pump.
volatile std::sig_atomic_t hungUp = 0;
void onHangUp(int) { hungUp = 1; }

// Xlib ends the process with exit() from inside an SDL call when the display goes away (the X
// server gone, the connection broken): the rest of runGame never runs, but exit handlers and the
// Application's destructor, which writes the high-score table, still do. The settings are saved
// then as well. Null once saved, and while they may not be written.
Settings* unsavedSettings = nullptr;
void saveSettings() {
    if (unsavedSettings) unsavedSettings->save(kSettingsFile);
    unsavedSettings = nullptr;
}

const char* glText(GLenum what) { return orEmpty(reinterpret_cast<const char*>(glGetString(what))); }

std::string videoDriverName() {
    char driver[512] = "";
    return SDL_VideoDriverName(driver, sizeof driver) ? driver : "";
}

// Standard descriptors that were closed at start (`yuletumble >&-`) are opened on /dev/null before
// anything else opens a file or a socket, which would take their numbers: an X connection on
// descriptor 1 would receive the start-up lines.
void openClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
}

// SDL falls back to a driver that draws nowhere a player can see when no display answers. That
// is a failed start, unless the player asked for a driver.
bool displayFound() {
    const std::string driver = videoDriverName();
    const bool windowless = driver == "offscreen" || driver == "dummy" || driver == "evdev";
    if (!windowless || std::getenv("SDL_VIDEODRIVER")) return true;
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        reportProblem({"no display could be opened: no X server answers at DISPLAY=", display});
    else
        reportProblem({"no display could be opened: DISPLAY is not set"});
    return false;
}

// The window in the mode the settings ask for, and the start-up lines about it. Null when no mode
// could be set (no OpenGL), which is said on standard error too.
SDL_Surface* openWindow(const Settings& settings) {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_Surface* surface =
        SDL_SetVideoMode(kWidth, kHeight, 0, SDL_OPENGL | (settings.fullscreen ? SDL_FULLSCREEN : 0));
    // Without a video mode there is no OpenGL context, and not every GL library survives a call
    // without one: the GL strings are then logged as empty text.
    logLine({"SDL Video Driver-name: ", videoDriverName()});
    logLine({"OpenGL Infos"});
    logLine({kRule});
    logLine({" Vendor: ", surface ? glText(GL_VENDOR) : ""});
    logLine({" Extensions: ", surface ? glText(GL_EXTENSIONS) : ""});
    logLine({kRule});
    if (!surface) {
        const std::string why = orEmpty(SDL_GetError());
        logLine({"Couldn't go fullscreen"});
        logLine({why});
        reportProblem({"the game's window could not be opened: ", why});
    }
    return surface;
}

// Frames until a quit. The pad's controls come first: one on the farewell screen queues the quit
// that this pump then takes.
void runLoop(Application& app) {
    // The swap interval is left to the platform: every animation advances by the real frame time,
    // so frames held to the display's refresh (SDL12COMPAT_SYNC_TO_VBLANK=1) only spare the processor.
    FrameClock clock;
    for (;;) {
        app.pollPad(SDL_GetTicks());
        if (!pumpEvents(app)) break;
        const float dt = clock.next([] { return SDL_GetTicks(); });
        app.drawFrame(dt);
        SDL_GL_SwapBuffers();
    }
}

}  // namespace

bool pumpEvents(Application& app) {
    if (hungUp) return false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_KEYDOWN: app.handleKey(event.key.keysym.sym); break;
            case SDL_KEYUP: app.releaseKey(event.key.keysym.sym); break;
            case SDL_USEREVENT: app.onGravityEvent(event.user.code); break;
            case SDL_QUIT: return false;
            default: break;
        }
    }
    return true;
}

int runGame(Application& app, Settings& settings) {
    openClosedStandardDescriptors();
    // A file that is there but could not be read keeps what the player has in it.
    const bool mayWriteSettings = settings.load(kSettingsFile) != FileRead::unreadable;
    struct sigaction hangUp {};
    hangUp.sa_handler = onHangUp;
    hangUp.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &hangUp, nullptr);
    Gamepad::preferControllerLayout();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0) {
        logLine({"Couldn't init SDL"});
        reportProblem({"SDL could not start: ", orEmpty(SDL_GetError())});
        return -1;
    }
    SDL_Surface* surface = displayFound() ? openWindow(settings) : nullptr;
    if (!surface) {
        SDL_Quit();
        return EXIT_FAILURE;  // before the settings are written: nothing of this run changed them
    }
    if (mayWriteSettings) unsavedSettings = &settings;
    std::atexit(saveSettings);

    SDL_EnableKeyRepeat(100, 150);
    app.init(&settings, surface);
    app.setProjection(kWidth, kHeight);
    SDL_ShowCursor(0);
    runLoop(app);

    SDL_ShowCursor(1);
    saveSettings();
    app.shutdown();  // the GL objects, timer, sound and pads go while the window and SDL still live
    SDL_Quit();
    return 0;
}
