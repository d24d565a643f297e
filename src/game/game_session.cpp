// SPDX-License-Identifier: MIT
#include "game/game_session.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

constexpr float kSpawnColumn = 5;
constexpr float kSpawnRow = 22;
constexpr int kSoftDropMs = 25;

}  // namespace

GameSession::GameSession() {
    // Room for a full well and the pieces that end the game, so that locking a piece, which the
    // event pump runs between frames, never allocates during play.
    settled_.reserve(OccupancyGrid::kCells + 16);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    reset();
}

void GameSession::reset() {
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
    current_.layout(nextKind_, blockTextures_.data());
    current_.translate(kSpawnColumn, kSpawnRow);
    nextKind_ = std::rand() % Piece::kKinds;
    gravityTimer_.start(gravityInterval());
}

void GameSession::onGravityEvent(int serial) {
    if (gravityTimer_.isCurrent(serial)) tick();
}

void GameSession::tick() {
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
    landed_ = false;
    settled_.insert(settled_.end(), current_.blocks.begin(), current_.blocks.end());
    rebuildGrid();
    clearRows();
    spawn();
}

void GameSession::rebuildGrid() {
    grid_.clear();
    for (const Block& b : settled_) grid_.set(b.column(), b.row());
}

void GameSession::clearRows() {
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

void GameSession::moveLeft() { current_.moveLeft(grid_); }

void GameSession::moveRight() { current_.moveRight(grid_); }

void GameSession::rotate() { current_.rotate(); }

void GameSession::softDrop() {
    if (paused_) return;
    gravityTimer_.start(kSoftDropMs);
}

void GameSession::togglePause() {
    paused_ = !paused_;
    if (paused_)
        gravityTimer_.stop();
    else
        gravityTimer_.start(gravityInterval());
}

void GameSession::stopGravity() { gravityTimer_.stop(); }

bool GameSession::isGameOver() {
    for (const Block& b : settled_) {
        if (b.column() == static_cast<int>(kSpawnColumn) && b.row() == static_cast<int>(kSpawnRow)) {
            gravityTimer_.stop();
            return true;
        }
    }
    return false;
}

Piece GameSession::preview() const {
    Piece p;
    p.layout(nextKind_, blockTextures_.data());
    return p;
}

int GameSession::gravityInterval() const {
    // 64-bit so that no level can overflow; levels below 1 do not occur in a game.
    return static_cast<int>(std::clamp<long long>(350 - 50LL * level_, 50, 350));
}
