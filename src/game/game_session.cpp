// SPDX-License-Identifier: MIT
#include "game/game_session.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

constexpr float kSpawnColumn = 5;
constexpr float kSpawnRow = 22;
constexpr int kSoftDropMs = 25;

// Counts the calls of fenceCallback; SDL runs all timer callbacks one after another on one thread,
// so a fence that has fired proves that every callback begun before it was added has returned.
std::atomic<unsigned> fencesFired{0};

Uint32 fenceCallback(Uint32, void*) {
    fencesFired.fetch_add(1);
    return 0;
}

// Blocks until SDL's timer thread has finished whatever callback it was running (at most ~2 s).
void waitForTimerThread() {
    const unsigned before = fencesFired.load();
    if (SDL_AddTimer(1, fenceCallback, nullptr) == nullptr) return;
    for (int i = 0; i < 2000 && fencesFired.load() == before; ++i) SDL_Delay(1);
}

}  // namespace

GameSession::GameSession(bool realTimer) : realTimer_(realTimer) {
    for (GravityTicket& t : tickets_) t.session = this;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    reset();
}

GameSession::~GameSession() {
    bool started = false;
    {
        Guard g(mutex_);
        started = nextSerial_ != 0;
        stopTimer();  // harmless after SDL_Quit: SDL 2 no longer knows the handle
    }
    // A tick SDL began before the stop may still be waiting for the mutex; let it find its ticket
    // stale and return before the session goes away.
    if (realTimer_ && started && SDL_WasInit(SDL_INIT_TIMER) != 0) waitForTimerThread();
}

std::unique_lock<std::recursive_mutex> GameSession::hold() const {
    return std::unique_lock<std::recursive_mutex>(mutex_);
}

void GameSession::reset() {
    Guard g(mutex_);
    grid_.clear();
    level_ = 1;
    score_ = 0;
    lines_ = 0;
    landed_ = false;
    nextKind_ = std::rand() % Piece::kKinds;
    paused_ = false;
    settled_.clear();
}

void GameSession::spawn() {
    Guard g(mutex_);
    current_.layout(nextKind_, blockTextures_.data());
    current_.translate(kSpawnColumn, kSpawnRow);
    nextKind_ = std::rand() % Piece::kKinds;
    startTimer(gravityInterval());
}

void GameSession::tick() {
    Guard g(mutex_);
    current_.moveDown(grid_);
    addToScore(level_);
    if (current_.atBottom() || current_.blocked(Direction::Down, grid_)) {
        if (landed_)
            lock();
        else
            landed_ = true;
    }
    if (lines_ != 0) level_ = lines_ / 10 + 1;
}

void GameSession::lock() {
    Guard g(mutex_);
    landed_ = false;
    settled_.insert(settled_.end(), current_.blocks.begin(), current_.blocks.end());
    rebuildGrid();
    clearRows();
    spawn();
}

void GameSession::rebuildGrid() {
    Guard g(mutex_);
    grid_.clear();
    for (const Block& b : settled_) grid_.set(b.column(), b.row());
}

void GameSession::clearRows() {
    Guard g(mutex_);
    int count = 0;
    int row = 0;
    while (row < OccupancyGrid::kRows) {
        bool full = true;
        for (int c = 0; c < OccupancyGrid::kColumns && full; ++c) full = grid_.occupied(c, row);
        if (!full) {
            ++row;
            continue;
        }
        // Drop the row's blocks and lower everything above it, keeping the heap's order.
        std::size_t kept = 0;
        for (std::size_t i = 0; i < settled_.size(); ++i) {
            Block& b = settled_[i];
            const int r = b.row();
            if (r == row) continue;
            if (r > row) b.translate(0, -1);
            if (kept != i) settled_[kept] = b;
            ++kept;
        }
        settled_.resize(kept, Block());
        ++count;
        rebuildGrid();
        // The rows above have moved down: look at the same row again.
    }
    addToScore(std::trunc(std::pow(5.0 * level_, count)));
    lines_ = lines_ > INT_MAX - count ? INT_MAX : lines_ + count;
}

void GameSession::addToScore(double points) {
    if (points >= static_cast<double>(INT_MAX) - score_)
        score_ = INT_MAX;
    else if (points > 0)
        score_ += static_cast<int>(points);
}

void GameSession::moveLeft() {
    Guard g(mutex_);
    current_.moveLeft(grid_);
}

void GameSession::moveRight() {
    Guard g(mutex_);
    current_.moveRight(grid_);
}

void GameSession::rotate() {
    Guard g(mutex_);
    current_.rotate();
}

void GameSession::softDrop() {
    Guard g(mutex_);
    if (paused_) return;
    startTimer(kSoftDropMs);
}

void GameSession::togglePause() {
    Guard g(mutex_);
    paused_ = !paused_;
    if (paused_)
        stopTimer();
    else
        startTimer(gravityInterval());
}

bool GameSession::isGameOver() {
    Guard g(mutex_);
    for (const Block& b : settled_) {
        if (b.column() == static_cast<int>(kSpawnColumn) && b.row() == static_cast<int>(kSpawnRow)) {
            stopTimer();
            return true;
        }
    }
    return false;
}

Piece GameSession::preview() const {
    Guard g(mutex_);
    Piece p;
    p.layout(nextKind_, blockTextures_.data());
    return p;
}

int GameSession::score() const {
    Guard g(mutex_);
    return score_;
}

int GameSession::level() const {
    Guard g(mutex_);
    return level_;
}

int GameSession::lines() const {
    Guard g(mutex_);
    return lines_;
}

bool GameSession::paused() const {
    Guard g(mutex_);
    return paused_;
}

bool GameSession::landed() const {
    Guard g(mutex_);
    return landed_;
}

int GameSession::gravityInterval() const {
    Guard g(mutex_);
    // 64-bit so that no level can overflow; levels below 1 do not occur in a game.
    return static_cast<int>(std::clamp<long long>(350 - 50LL * level_, 50, 350));
}

int GameSession::timerInterval() const {
    Guard g(mutex_);
    return timerInterval_;
}

void GameSession::startTimer(int intervalMs) {
    stopTimer();
    timerInterval_ = intervalMs;
    if (!realTimer_) return;
    if (++nextSerial_ == 0) ++nextSerial_;  // 0 means "stopped"
    const std::uint32_t serial = nextSerial_;
    GravityTicket& ticket = tickets_[serial % kTickets];
    // Release: a callback that reads this serial also sees the session as this thread left it.
    ticket.serial.store(serial, std::memory_order_release);
    timerSerial_ = serial;
    gravityTimer_ = SDL_AddTimer(static_cast<Uint32>(intervalMs), gravityCallback, &ticket);
    if (gravityTimer_ == nullptr) {  // no gravity until the next start succeeds
        timerSerial_ = 0;
        timerInterval_ = 0;
    }
}

void GameSession::stopTimer() {
    // Never hand SDL a null or already removed handle.
    if (gravityTimer_ != nullptr) {
        SDL_RemoveTimer(gravityTimer_);
        gravityTimer_ = nullptr;
    }
    timerSerial_ = 0;
    timerInterval_ = 0;
}

Uint32 GameSession::gravityCallback(Uint32 interval, void* param) {
    auto* ticket = static_cast<GravityTicket*>(param);
    if (ticket == nullptr) return 0;
    // Read before waiting: the ticket may be handed to a later start while this call waits.
    const std::uint32_t serial = ticket->serial.load(std::memory_order_acquire);
    GameSession* session = ticket->session;
    Guard g(session->mutex_);
    if (serial == 0 || serial != session->timerSerial_) return 0;  // stopped meanwhile
    session->tick();
    // A lock inside the tick spawns and so replaces this timer; the new one carries on.
    return serial == session->timerSerial_ ? interval : 0;
}
