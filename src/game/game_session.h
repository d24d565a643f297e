// SPDX-License-Identifier: MIT
#pragma once

#include <SDL.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "game/block.h"
#include "game/occupancy_grid.h"
#include "game/piece.h"
#include "render/texture.h"

struct Settings;

// The game itself: the settled heap, the falling piece, the next kind, score, level, removed lines,
// pause and the gravity timer. One session lives for the whole run; every new game is reset() then
// spawn().
//
// Threads. Gravity runs on an SDL timer, so tick() (and the lock, clearRows, rebuildGrid and spawn
// it may call) runs on SDL's timer thread; everything else runs on the main thread. The two are kept
// apart by one recursive mutex: gravityCallback takes it around tick(), every public operation takes
// it, and the main thread takes it for a whole frame with hold(), so a tick lands either wholly
// before or wholly after the frame's reading and drawing. SDL never waits for a running callback
// when a timer is removed, so stopping the timer while holding the mutex cannot deadlock, and a
// tick's spawn may stop and restart the very timer that is running it.
//
// Stale ticks are dropped. Every start of the timer gets a fresh serial, stored in a ticket that is
// the timer's callback parameter. The callback reads its ticket's serial on entry, before it waits
// for the mutex, and runs tick() only if that serial is still the running one once it holds the
// mutex. So a tick that SDL had already fired when the main thread stopped the timer (pause, soft
// drop, game over, new game) does nothing, and a stopped timer never ticks again. Tickets are reused
// round-robin, only after kTickets - 1 later starts.
//
// Timer handles are removed exactly once: stopping a stopped timer never reaches SDL (to SDL 1.2 on
// SDL 2 a removed handle is freed memory). The destructor stops the timer and, while SDL's timer
// service is initialised, waits until SDL's timer thread is done with any tick it had already
// begun; so initialise it (SDL_INIT_TIMER) before the first start, and destroy the session either
// then or after SDL_Quit. Never hold the session across SDL_Quit or the destructor: both wait for
// the timer thread, which may be waiting for the session.
class GameSession {
public:
    // realTimer false keeps SDL out entirely: the timer is only recorded (timerInterval()), and
    // tests drive gravity by calling tick() themselves.
    explicit GameSession(bool realTimer = true);
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // Holds the session still: no tick runs while the returned lock is alive. Recursive, so the
    // operations below may be called while holding it.
    [[nodiscard]] std::unique_lock<std::recursive_mutex> hold() const;

    void reset();  // clears grid, heap and counters, draws the first kind; timer and piece untouched
    void spawn();  // next kind becomes current at its spawn cells; gravity restarts at gravityInterval
    void tick();   // one gravity step (normally called by gravityCallback only)
    void lock();   // the resting piece joins the heap, full rows go, the next piece spawns
    void clearRows();
    void rebuildGrid();

    void moveLeft();
    void moveRight();
    void rotate();
    void softDrop();        // gravity at 25 ms per row until the next spawn; nothing while paused
    void togglePause();     // stops or restarts gravity
    bool isGameOver();      // a settled block in column 5, row 22; stops gravity when true
    Piece preview() const;  // the next kind laid out around the origin

    int score() const;
    int level() const;
    int lines() const;
    bool paused() const;
    bool landed() const;
    // Milliseconds between gravity steps at the current level: 350 - 50 * level, but never below
    // the 50 ms of level 6 (the plain formula reaches 0 ms at level 7 and goes negative after).
    int gravityInterval() const;
    // Interval of the running gravity timer in ms, 0 when stopped.
    int timerInterval() const;

    // The SDL timer callback; param is a ticket of a session. Runs tick() unless the timer was
    // stopped meanwhile; returns interval to repeat, 0 once the timer is no longer the running one
    // (it has then already been removed, so SDL just drops it).
    static Uint32 gravityCallback(Uint32 interval, void* param);

    // Direct access for the renderer and for tests. Hold the session while using them.
    const std::vector<Block>& settled() const { return settled_; }
    std::vector<Block>& settledForTest() { return settled_; }
    const Piece& current() const { return current_; }
    Piece& currentForTest() { return current_; }
    const OccupancyGrid& grid() const { return grid_; }
    void setNextKindForTest(int kind) { nextKind_ = kind; }
    void setLinesForTest(int lines) { lines_ = lines; }
    void setLevelForTest(int level) { level_ = level; }

    // Drawing (defined by the renderer). initGraphics loads the seven block textures and compiles
    // the frame and backdrop lists; drawBoard draws the well, holding the session while it draws
    // (the Application holds it for its whole playing frame); the reflection flag is read from
    // settings on every call.
    void initGraphics(Settings* settings);
    void drawBoard(float dt);
    void drawBlocksAndFrame() const;
    const std::array<Texture, Piece::kKinds>& blockTextures() const { return blockTextures_; }

private:
    struct GravityTicket {
        GameSession* session = nullptr;
        std::atomic<std::uint32_t> serial{0};
    };
    static constexpr int kTickets = 64;

    void startTimer(int intervalMs);  // stops any running timer first
    void stopTimer();                 // harmless when nothing runs
    void addToScore(double points);   // saturates at INT_MAX

    bool landed_ = false;                               // the current piece rested at the last tick; default false
    std::vector<Block> settled_;                        // the settled heap, in the order the blocks were added
    std::array<Texture, Piece::kKinds> blockTextures_;  // index = shape kind; empty until initGraphics
    Piece current_;                                     // the falling piece
    int nextKind_ = 0;                                  // shape kind 0..6 of the next spawn
    Settings* settings_ = nullptr;                      // not owned; read by drawBoard
    SDL_TimerID gravityTimer_ = nullptr;                // null when stopped or never started
    int level_ = 1;                                     // lines / 10 + 1; default 1
    int score_ = 0;                                     // points of this game, saturating at INT_MAX; default 0
    int lines_ = 0;                                     // rows removed in this game; default 0
    unsigned int frameList_ = 0;                        // GLuint display list of the well's frame
    unsigned int backdropList_ = 0;                     // GLuint display list of the grey pane
    bool paused_ = false;                               // gravity stopped by togglePause; default false

    OccupancyGrid grid_;                           // cells of the settled heap; only the session writes it
    const bool realTimer_;                         // false: timer only recorded, tests call tick()
    int timerInterval_ = 0;                        // ms of the running timer, 0 = stopped
    std::uint32_t timerSerial_ = 0;                // serial of the running timer, 0 = stopped
    std::uint32_t nextSerial_ = 0;                 // last serial handed out; never 0 once wrapped
    std::array<GravityTicket, kTickets> tickets_;  // callback parameters, reused round-robin
    mutable std::recursive_mutex mutex_;           // keeps ticks apart from the main thread
};
