// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <vector>

#include "game/block.h"
#include "game/gravity_timer.h"
#include "game/occupancy_grid.h"
#include "game/piece.h"
#include "texture/texture.h"

struct Settings;

// The game itself: the settled heap, the falling piece, the next kind, score, level, removed lines,
// pause and gravity. One session lives for the whole run; every new game is reset() then spawn().
// Everything runs on the main thread: gravity's timer only posts events, and the event pump hands
// each one back through onGravityEvent.
class GameSession {
public:
    GameSession();  // seeds the C library's random generator from the clock, then reset()
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    void reset();  // clears grid, heap and counters, draws the first kind; timer and piece untouched
    void spawn();  // next kind becomes current at its spawn cells; gravity restarts at gravityInterval
    void tick();   // one gravity step
    // A gravity event from the event pump: ticks if the timer that posted it is still the running
    // one; an event of a stopped or restarted timer is dropped.
    void onGravityEvent(int serial);
    void lock();  // the resting piece joins the heap, full rows go, the next piece spawns
    void clearRows();
    void rebuildGrid();

    void moveLeft();
    void moveRight();
    void rotate();
    void softDrop();        // gravity at 25 ms per row until the next spawn; nothing while paused
    void togglePause();     // stops or restarts gravity
    void stopGravity();     // at shutdown, before SDL stops: no gravity event comes any more
    bool isGameOver();      // a settled block in column 5, row 22; stops gravity when true
    Piece preview() const;  // the next kind laid out around the origin

    int score() const { return score_; }
    int level() const { return level_; }
    int lines() const { return lines_; }
    bool paused() const { return paused_; }
    bool landed() const { return landed_; }
    // Milliseconds between gravity steps at the current level: 350 - 50 * level, but never below
    // the 50 ms of level 6 (the plain formula reaches 0 ms at level 7 and goes negative after).
    int gravityInterval() const;
    // Interval of the running gravity timer in ms, 0 when stopped.
    int timerInterval() const { return gravityTimer_.interval(); }

    // Read access for the renderer and the tests.
    const std::vector<Block>& settled() const { return settled_; }
    const Piece& current() const { return current_; }
    const OccupancyGrid& grid() const { return grid_; }

    // Drawing (defined by the renderer). initGraphics loads the block textures and compiles the
    // frame and backdrop lists; drawBoard draws the well, reading the reflection flag from
    // settings on every call; releaseGraphics deletes the textures and lists while the context
    // lives (a second call does nothing).
    void initGraphics(const Settings* settings);
    void drawBoard(float dt);
    void releaseGraphics();
    const std::array<Texture, Piece::kKinds>& blockTextures() const { return blockTextures_; }

private:
    friend struct TestAccess;  // tests/support/test_access.h: sets up positions for the tests

    void addToScore(double points);   // saturates at INT_MAX
    void drawBlocksAndFrame() const;  // the frame and every block, at the current matrix

    bool landed_ = false;                               // the current piece rested at the last tick; default false
    std::vector<Block> settled_;                        // the settled heap, in the order the blocks were added
    std::array<Texture, Piece::kKinds> blockTextures_;  // index = shape kind; empty until initGraphics
    Piece current_;                                     // the falling piece
    int nextKind_ = 0;                                  // shape kind 0..6 of the next spawn
    const Settings* settings_ = nullptr;                // not owned; drawBoard reads its reflection flag
    GravityTimer gravityTimer_;                         // posts the gravity events; stopped until the first spawn
    int level_ = 1;                                     // lines / 10 + 1; default 1
    int score_ = 0;                                     // points of this game, saturating at INT_MAX; default 0
    int lines_ = 0;                                     // rows removed in this game; default 0
    unsigned int frameList_ = 0;                        // GLuint display list of the well's frame
    unsigned int backdropList_ = 0;                     // GLuint display list of the grey pane
    bool paused_ = false;                               // gravity stopped by togglePause; default false
    OccupancyGrid grid_;                                // cells of the settled heap; only the session writes it
};
