// SPDX-License-Identifier: MIT
// Platform entry: WinMain on Windows, main elsewhere. Both ignore their arguments (the game takes
// no command line) and run the game once.
#include "app/application.h"
#include "app/game_main.h"
#include "files/settings.h"

// Constructed before the entry function runs and destroyed after it returns; the Application's
// destructor writes the high-score table. The settings record comes after it, all flags on.
static Application gApplication;
static Settings gSettings;

#ifdef _WIN32
#include <windows.h>
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return runGame(gApplication, gSettings); }
#else
#include <csignal>
int main(int, char**) {
    // A closed standard output only loses the start-up lines; it must not end the game unsaved.
    std::signal(SIGPIPE, SIG_IGN);
    return runGame(gApplication, gSettings);
}
#endif
