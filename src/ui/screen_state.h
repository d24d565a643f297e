// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

// The screens of the game. The numbers are fixed: Menu::select returns them.
enum ScreenState : int {
    Logo = 0,         // intro logo zooming out
    Presents = 1,     // "presents" image fading in
    GameLogo = 2,     // game logo fading in over snow
    MainMenu = 3,     // main menu over snow
    Credits = 4,      // scrolling credits over snow
    Highscores = 5,   // high-score table over snow
    Playing = 6,      // the game: board, score panel, key legend
    Farewell = 7,     // farewell banner; any key ends the program
    NoHighscore = 8,  // "Sorry no highscore" message over snow
    EnterName = 9,    // name entry for a new high score
    Options = 10,     // options menu (the same Menu in its options mode)
};
inline constexpr std::size_t kScreenCount = Options + 1;  // the last screen is the highest number
