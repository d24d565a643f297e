// SPDX-License-Identifier: MIT
#pragma once

class Application;
struct Settings;

// The whole run of the game on the main thread: settings, SDL, window, start-up lines, the
// Application's start-up, the main loop and the shutdown. Returns the process exit status:
// 0 after a normal end, -1 when SDL cannot start, 1 when it starts but no window can be shown
// (no display, no OpenGL); the files are not written then.
int runGame(Application& app, Settings& settings);

// Hands every pending key press and release and gravity event to the Application, in the order
// they came;
// false once a quit event is seen (events queued behind it stay unhandled), or after a hang-up.
bool pumpEvents(Application& app);
