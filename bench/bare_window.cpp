// SPDX-License-Identifier: MIT
// The floor of the start-up measurement (yt_start_bench): the least an SDL 1.2 OpenGL program
// does before its first frame shows. It opens a 640 x 480 OpenGL window as the game does (the same
// depth buffer, no swap interval asked for), then clears it to a dark green every frame and swaps,
// and does nothing else, until it is closed or killed.
#include <GL/gl.h>
#include <SDL.h>

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    if (!SDL_SetVideoMode(640, 480, 0, SDL_OPENGL)) {
        SDL_Quit();
        return 1;
    }
    glClearColor(0, 0.4f, 0.1f, 1);  // any pixel of it reads as lit, so its first frame is seen at once
    for (bool open = true; open;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) open = open && event.type != SDL_QUIT;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapBuffers();
    }
    SDL_Quit();
    return 0;
}
