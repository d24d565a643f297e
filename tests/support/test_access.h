// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include "app/application.h"
#include "game/game_session.h"

// The one way tests reach state the game keeps private: positions that real play would take long
// to reach, and the Application's members. The game's classes name it as a friend and nothing else.
struct TestAccess {
    static std::vector<Block>& settled(GameSession& s) { return s.settled_; }
    static Piece& current(GameSession& s) { return s.current_; }
    static void setNextKind(GameSession& s, int kind) { s.nextKind_ = kind; }
    static void setCounters(GameSession& s, int lines, int level) { s.lines_ = lines, s.level_ = level; }

    static void setState(Application& a, ScreenState state) { a.state_ = state; }
    static GameSession& game(Application& a) { return a.game_; }
    static const NameEntry& nameEntry(const Application& a) { return a.nameEntry_; }
};
