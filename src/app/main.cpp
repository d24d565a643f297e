// SPDX-License-Identifier: MIT
// The program's entry: it takes no command line and runs the game once.
#include <csignal>

#include "app/application.h"
#include "app/game_main.h"
#include "files/settings.h"

// Constructed before main runs and destroyed after it returns; the Application's destructor writes
// the high-score table. The settings record comes after it, all flags on.
static Application gApplication;
static Settings gSettings;

int main(int, char**) {
    // A closed standard output only loses the start-up lines; it must not end the game unsaved.
    std::signal(SIGPIPE, SIG_IGN);
    return runGame(gApplication, gSettings);
}
