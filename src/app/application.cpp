#include "app/application.h"

#include <GL/gl.h>

#include "render/gl_base_state.h"

Application::Application() = default;

Application::~Application() = default;

void Application::init(Settings* settings, SDL_Surface* surface) {
    settings_ = settings;
    surface_ = surface;
    SDL_WM_SetCaption("Yuletumble", "");
    setBaseState();
    setLights();
}

void Application::setProjection(int width, int height) { setSceneProjection(width, height); }

void Application::drawFrame(float) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

void Application::handleKey(int sym) {
    if (state_ == Farewell) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    if (sym == SDLK_ESCAPE) state_ = Farewell;
}
