// SPDX-License-Identifier: MIT
// Measures what a frame of each screen costs: how smoothly the screen moves (frames a second) and
// how much processor time it takes. The animations keep their speed whatever a frame costs; they
// advance by the real time since the frame before.
//
// Opens the game's 640 x 480 window and builds one real Application with the real data/ (run from
// the repository root, or give the data's parent directory as the only argument) for every screen
// measured. Each is brought to its screen the way a player gets there: keys through handleKey and
// real frames through drawFrame; the playing screens are filled by a small bot that plays real
// pieces. The measurement runs in rounds: every round draws a short block of frames of each screen
// and of bare frames (clear and swap), in an order that rotates from round to round, so that a
// change in the machine's load hits every screen alike. A screen's figure is the median over the
// rounds of its block median divided by the bare block of the same round; the spread is the
// interquartile range over the rounds. It runs ahead of other processes where it may (see main).
// Also prints the time from process start to the first drawn frame, the peak resident memory and
// the heap allocations per frame (not the driver's own); exits 1 if any screen allocates. The method
// and the figures are in docs/performance.md.
//
// Environment: YT_BENCH_FRAMES frames of each screen in all (default 480), YT_BENCH_BLOCK frames per
// block (default 16), YT_BENCH_PIECES pieces the bot plays (default 40: sixteen rows of ten),
// YT_BENCH_SCREENS a comma-separated list of words: only screens whose name holds one of them are
// measured (with the bare frame), YT_BENCH_PARTS=1 adds the parts of the playing frame drawn one
// at a time, YT_BENCH_DUMP a directory for the last frame of each screen (PPM; compare two such
// directories with yt_frame_compare).
#include <GL/gl.h>
#include <SDL.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/game_main.h"
#include "files/settings.h"
#include "game/game_session.h"
#include "game/occupancy_grid.h"
#include "game/piece.h"
#include "heap_count.h"
#include "render/snowfall.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWarmUp = 30;  // the software renderer compiles code for new state on first use
constexpr unsigned kSnowSeed = 1;
constexpr unsigned kPieceSeed = 7;
constexpr int kPriority = -15;  // nice value asked for

int envInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && std::atoi(v) > 0 ? std::atoi(v) : fallback;
}

// Milliseconds since the process was started, from the kernel's start time of this process.
double msSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 0; i < 22 && stat >> field; ++i) {
    }
    const double startSeconds = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 - startSeconds) * 1000.0;
}

void swap() { SDL_GL_SwapBuffers(); }

// The frame as the player's loop makes it: events, one frame, the swap.
void playerFrame(Application& app, float dt) {
    pumpEvents(app);
    app.drawFrame(dt);
    swap();
}

// ---------------------------------------------------------------------------------------------
// The bot: plays real pieces until `pieces` have settled. Column 10 stays empty, so no row is ever
// completed. The kinds come from rand(), seeded right before the game starts, so every run builds
// the same well.
class Planner {
public:
    struct Move {
        int turns = 0, shift = 0;
        int ticks = 0;  // gravity steps from spawn to the lock: the rows fallen and the locking one
        long cost = 0;
        OccupancyGrid after;
    };

    // The kinds of the first `pieces` pieces after srand(seed): the game draws one kind when it
    // resets and one at every spawn, each rand() % 7. Leaves the generator seeded with `seed`.
    static std::vector<int> kinds(unsigned seed, int pieces) {
        std::vector<int> k;
        std::srand(seed);
        for (int i = 0; i < pieces; ++i) k.push_back(std::rand() % Piece::kKinds);
        std::srand(seed);
        return k;
    }

    // The best place for a piece of `kind` that has just spawned; ticks 0 if there is none. The
    // plan is taken as made: the bot's own record of the settled cells takes the piece.
    Move next(int kind) {
        Move best;
        for (int turns = 0; turns < 4; ++turns) {
            for (int shift = -10; shift <= 10; ++shift) {
                Piece p;
                p.layout(kind, nullptr);
                p.translate(5, 22);
                for (int t = 0; t < turns; ++t) p.rotate();
                int moved = 0;
                for (int i = 0; i < std::abs(shift); ++i) {
                    const float x = p.blocks[0].x;
                    if (shift < 0)
                        p.moveLeft(grid_);
                    else
                        p.moveRight(grid_);
                    if (p.blocks[0].x != x) ++moved;
                }
                if (moved != std::abs(shift)) continue;  // against the wall: the same as a shorter shift
                bool lastColumn = false;
                for (const Block& b : p.blocks) lastColumn |= b.column() == OccupancyGrid::kColumns - 1;
                if (lastColumn) continue;
                int rows = 0;
                for (float y = p.blocks[0].y;; y = p.blocks[0].y) {
                    p.moveDown(grid_);
                    if (p.blocks[0].y == y) break;
                    ++rows;
                }
                Move m{turns, shift, rows + 1, 0, grid_};
                bool tooHigh = false;
                for (const Block& b : p.blocks) {
                    tooHigh |= b.row() >= 18;
                    m.after.set(b.column(), b.row());
                }
                if (tooHigh || rows == 0) continue;
                m.cost = cost(m.after);
                if (best.ticks == 0 || m.cost < best.cost) best = m;
            }
        }
        grid_ = best.after;
        return best;
    }

private:
    // Holes, height and roughness of the columns 0..9; lower is better.
    static long cost(const OccupancyGrid& g) {
        long holes = 0, total = 0, rough = 0, highest = 0;
        int previous = -1;
        for (int c = 0; c < OccupancyGrid::kColumns - 1; ++c) {
            int height = 0;
            for (int r = OccupancyGrid::kRows - 1; r >= 0 && height == 0; --r)
                if (g.occupied(c, r)) height = r + 1;
            for (int r = 0; r < height; ++r) holes += g.occupied(c, r) ? 0 : 1;
            total += height;
            highest = std::max<long>(highest, height);
            if (previous >= 0) rough += std::abs(height - previous);
            previous = height;
        }
        return holes * 40 + total * 2 + rough * 3 + highest * 4;
    }

    OccupancyGrid grid_;  // the bot's record of the settled cells
};

// The gravity events waiting in SDL's queue (the timer posts one per step, with the serial of the
// timer's start in user.code); `peek` is called with each, oldest first.
template <typename Peek>
void pendingGravity(Peek peek) {
    SDL_Event events[64];
    const int n = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_USEREVENT));
    for (int i = 0; i < n; ++i) peek(events[i].user.code);
}

// Plays through the keys, with frames drawn at dt 0 (the snow stands still and takes no random
// numbers), from the main menu with "Play!" highlighted. Gravity reaches the game through the
// event pump as in the game's loop; the bot only looks at the gravity events waiting there to know
// when its piece has locked. False if the game did not follow the plan.
bool playWithKeys(Application& app, int pieces) {
    Planner planner;
    const std::vector<int> kinds = Planner::kinds(kPieceSeed, pieces);
    app.handleKey(SDLK_RETURN);
    if (app.state() != Playing) return false;
    int seen = 0;  // the highest serial of a timer that no longer steps this piece
    for (int i = 0; i < pieces; ++i) {
        const Planner::Move move = planner.next(kinds[i]);
        if (move.ticks == 0) return false;  // no room left
        for (int t = 0; t < move.turns; ++t) app.handleKey(SDLK_UP);
        for (int s = 0; s < std::abs(move.shift); ++s) app.handleKey(move.shift < 0 ? SDLK_LEFT : SDLK_RIGHT);
        pendingGravity([&](int serial) { seen = std::max(seen, serial); });
        app.handleKey(SDLK_DOWN);  // gravity restarts at 25 ms with a new serial
        // The piece has locked once the soft drop's timer has stepped `ticks` times. A timer that
        // posts later than that one is the next piece's: the locking step went through the pump
        // unseen, and that event stays queued (stale by the next soft drop) so the new piece does
        // not move. A later serial seen early is the drop's own: the first was the spawn timer's,
        // posting as it was stopped.
        int dropSerial = 0, steps = 0;
        bool locked = false, pump = true;
        const Uint32 start = SDL_GetTicks();
        while (!locked) {
            if (SDL_GetTicks() - start > 10000 || app.state() != Playing) return false;
            pendingGravity([&](int serial) {
                if (serial <= seen || locked) return;
                if (dropSerial == 0 || (serial > dropSerial && steps < move.ticks - 1)) {
                    dropSerial = serial;
                    steps = 0;
                }
                if (serial == dropSerial) {
                    locked = ++steps >= move.ticks;
                } else {
                    locked = true;
                    pump = false;
                    seen = serial;
                }
            });
            if (pump) playerFrame(app, 0);
        }
        seen = std::max(seen, dropSerial);
    }
    return true;
}

// The same game played on a session directly, its gravity steps made by the caller.
void playDirectly(GameSession& game, int pieces) {
    Planner planner;
    const std::vector<int> kinds = Planner::kinds(kPieceSeed, pieces);
    game.reset();
    game.spawn();
    for (int i = 0; i < pieces; ++i) {
        const Planner::Move move = planner.next(kinds[i]);
        for (int t = 0; t < move.turns; ++t) game.rotate();
        for (int s = 0; s < std::abs(move.shift); ++s) move.shift < 0 ? game.moveLeft() : game.moveRight();
        for (int t = 0; t < move.ticks; ++t) game.tick();
    }
}

// ---------------------------------------------------------------------------------------------
struct Screen {
    std::string name;
    ScreenState state = Logo;          // the screen the Application stays on
    std::unique_ptr<Application> app;  // null: the bare frame, or a part of the playing frame
    Settings settings;                 // this Application's game.cfg
    int pauseKey = 0;                  // pressed before and after every frame (playing: P)
    void (*part)() = nullptr;          // a part of the playing frame instead of drawFrame
    std::vector<double> blockMedians;  // ms, one per round
    std::vector<double> ratios;        // block median over the bare block of the same round
    long allocations = 0;
    long frames = 0;
};

// The parts of the playing frame, each drawn alone, as the playing frame draws them: with objects
// of their own (the Application keeps its own private), the same game played into the session.
struct Parts {
    Settings settings;
    GameSession game;
    Snowfall snow;
};
Parts* parts = nullptr;

void partSnow() { parts->snow.update(1); }
void partBoard() {
    parts->settings.reflection = 0;
    parts->game.drawBoard(1);
    parts->settings.reflection = 1;
}
void partBoardReflected() { parts->game.drawBoard(1); }
void draw(Screen& s) {
    if (s.app) {
        s.app->drawFrame(1);
    } else {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        if (s.part) s.part();
    }
}

// One frame as the game makes it (drawFrame and the swap), and glFinish so that all of its drawing
// is done; milliseconds. A game stays paused between its frames: with gravity restarted at every
// frame, no piece moves unless a single frame takes longer than a gravity step.
double frame(Screen& s) {
    if (s.pauseKey) s.app->handleKey(s.pauseKey);
    const long allocations = allocationCount();
    countAllocations(true);
    const auto t0 = Clock::now();
    draw(s);
    swap();
    glFinish();
    const auto t1 = Clock::now();
    countAllocations(false);
    s.allocations += allocationCount() - allocations;
    s.frames += 1;
    if (s.pauseKey) s.app->handleKey(s.pauseKey);
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The q-quantile (0..1) by linear interpolation between the order statistics.
double quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const double pos = q * static_cast<double>(v.size() - 1);
    const auto i = static_cast<std::size_t>(pos);
    return i + 1 < v.size() ? v[i] + (v[i + 1] - v[i]) * (pos - static_cast<double>(i)) : v[i];
}

// One block: `frames` timed frames of the screen; records their median.
void block(Screen& s, int frames, std::vector<double>& scratch) {
    scratch.clear();
    for (int i = 0; i < frames; ++i) scratch.push_back(frame(s));
    s.blockMedians.push_back(median(scratch));
}

void dumpFrame(Screen& s, const char* dir) {
    if (s.pauseKey) s.app->handleKey(s.pauseKey);
    draw(s);
    if (s.pauseKey) s.app->handleKey(s.pauseKey);
    std::vector<unsigned char> rgb(640 * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    swap();
    std::string file = s.name;
    for (char& c : file)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    const std::string path = std::string(dir) + "/" + file + ".ppm";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fprintf(f, "P6\n640 480\n255\n");
        std::fwrite(rgb.data(), 1, rgb.size(), f);
        std::fclose(f);
    }
}

bool wanted(const std::string& name) {
    const char* list = std::getenv("YT_BENCH_SCREENS");
    if (!list || !*list) return true;
    std::string words = list;
    std::size_t start = 0;
    while (start <= words.size()) {
        const std::size_t end = std::min(words.find(',', start), words.size());
        const std::string word = words.substr(start, end - start);
        if (!word.empty() && name.find(word) != std::string::npos) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // The machine is shared: builds and tests of others take the cores in bursts, and a frame that
    // the renderer's threads draw slows down far more under them than a bare frame does. Ahead of
    // them (when allowed, as root) the ratios stay within a few per cent from run to run. Set
    // before any thread is made, so that the renderer's threads have it too.
    const bool ahead = setpriority(PRIO_PROCESS, 0, kPriority) == 0;
    // Runs in a scratch directory that links to the real data, so no player file is touched.
    const std::string data = std::string(argc > 1 ? argv[1] : YT_SOURCE_DIR) + "/data";
    char scratch[] = "/tmp/yuletumble-bench-XXXXXX";
    if (!mkdtemp(scratch) || chdir(scratch) != 0 || symlink(data.c_str(), "data") != 0) {
        std::fprintf(stderr, "cannot prepare a scratch directory for %s\n", data.c_str());
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 2;
    }
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 0);  // frames as fast as they come, not at the display rate
    SDL_Surface* surface = SDL_SetVideoMode(640, 480, 0, SDL_OPENGL);
    if (!surface) {
        std::fprintf(stderr, "no OpenGL window: %s\n", SDL_GetError());
        return 2;
    }

    const int blockFrames = envInt("YT_BENCH_BLOCK", 16);
    const int rounds = std::max(1, envInt("YT_BENCH_FRAMES", 480) / blockFrames);
    const int pieces = envInt("YT_BENCH_PIECES", 40);

    std::vector<std::unique_ptr<Screen>> screens;
    double startUpMs = 0;
    // A screen without an Application: the bare frame, or a part of the playing frame.
    const auto addBare = [&](const char* name) -> Screen* {
        screens.push_back(std::make_unique<Screen>());
        screens.back()->name = name;
        return screens.back().get();
    };
    // A new Application on the intro logo, its snow the same in every run and every screen.
    const auto add = [&](const char* name, ScreenState state) -> Screen* {
        Screen* s = addBare(name);
        s->state = state;
        s->settings.music = 0;
        s->settings.fullscreen = 0;
        s->app = std::make_unique<Application>();
        std::srand(kSnowSeed);
        s->app->init(&s->settings, surface);
        s->app->setProjection(640, 480);
        s->app->drawFrame(1);
        swap();
        glFinish();
        if (startUpMs == 0) startUpMs = msSinceProcessStart();
        return s;
    };
    const auto keys = [](Screen* s, std::initializer_list<int> syms) {
        for (int sym : syms) {
            s->app->handleKey(sym);
            playerFrame(*s->app, 1);
        }
    };

    addBare("bare frame");
    if (wanted("intro logo")) add("intro logo", Logo);
    if (wanted("presents")) {
        Screen* s = add("presents", Presents);
        s->app->drawFrame(4000);  // a long frame: the logo is done
    }
    if (wanted("game logo + snow")) {
        Screen* s = add("game logo + snow", GameLogo);
        s->app->drawFrame(4000);
        s->app->drawFrame(5000);
    }
    if (wanted("main menu + snow")) keys(add("main menu + snow", MainMenu), {SDLK_SPACE});
    if (wanted("options + snow")) keys(add("options + snow", Options), {SDLK_SPACE, SDLK_DOWN, SDLK_RETURN});
    if (wanted("high-score table + snow"))
        keys(add("high-score table + snow", Highscores), {SDLK_SPACE, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN});
    if (wanted("credits + snow"))
        keys(add("credits + snow", Credits), {SDLK_SPACE, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN});
    // Return on "Exit": with the music off no tune plays (Escape would start the farewell tune).
    if (wanted("farewell")) keys(add("farewell", Farewell), {SDLK_SPACE, SDLK_UP, SDLK_RETURN});
    // The bot fills the well, then the game stays paused between its measured frames; gravity
    // events still queued are stale once it is paused.
    const auto fillWell = [&](Screen* s) {
        if (!playWithKeys(*s->app, pieces)) return false;
        s->app->handleKey(SDLK_p);
        pumpEvents(*s->app);
        s->pauseKey = SDLK_p;
        return true;
    };
    if (wanted("playing, snow + reflection")) {
        Screen* s = add("playing, snow + reflection", Playing);
        keys(s, {SDLK_SPACE});
        if (!fillWell(s)) {
            std::fprintf(stderr, "the bot could not fill the well\n");
            return 2;
        }
    }
    if (wanted("playing, plain")) {
        // Snow and reflection switched off in the options menu, then the same game.
        Screen* s = add("playing, plain", Playing);
        keys(s, {SDLK_SPACE, SDLK_DOWN, SDLK_RETURN, SDLK_RETURN, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_DOWN,
                 SDLK_DOWN, SDLK_RETURN});
        if (s->settings.snowflakes || s->settings.reflection || !fillWell(s)) {
            std::fprintf(stderr, "the bot could not fill the plain well\n");
            return 2;
        }
    }
    if (std::getenv("YT_BENCH_PARTS")) {
        static Parts standalone;  // its session seeds rand() from the clock: made before the seeds
        parts = &standalone;
        std::srand(kSnowSeed);
        parts->snow.init();
        parts->snow.scatter();
        parts->game.initGraphics(&parts->settings);
        playDirectly(parts->game, pieces);
        parts->game.togglePause();  // its gravity timer stays quiet
        // The rest of the playing frame, the score panel's text and the preview, is what these leave.
        const std::array<std::pair<const char*, void (*)()>, 3> list = {{
            {"part: snow", partSnow},
            {"part: board, no reflection", partBoard},
            {"part: board with reflection", partBoardReflected},
        }};
        for (const auto& [name, draw] : list) addBare(name)->part = draw;
    }
    for (const auto& s : screens) {
        if (s->app && s->app->state() != s->state) {
            std::fprintf(stderr, "%s: not reached\n", s->name.c_str());
            return 2;
        }
    }

    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(blockFrames));
    for (const auto& s : screens) {
        for (int i = 0; i < kWarmUp; ++i) frame(*s);
    }
    const std::size_t n = screens.size();
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < n; ++i)
            block(*screens[(i + static_cast<std::size_t>(round)) % n], blockFrames, times);
        for (const auto& s : screens) s->ratios.push_back(s->blockMedians.back() / screens[0]->blockMedians.back());
    }

    bool allocates = false;
    std::printf("%-34s %7s %15s %10s %13s\n", "screen", "x bare", "IQR over rounds", "median ms", "allocs/frame");
    for (const auto& s : screens) {
        if (s->app && s->app->state() != s->state) {
            std::fprintf(stderr, "%s: left its screen during the run\n", s->name.c_str());
            return 2;
        }
        const double perFrame = static_cast<double>(s->allocations) / static_cast<double>(s->frames);
        std::printf("%-34s %7.2f %7.2f - %5.2f %10.3f %13.2f\n", s->name.c_str(), median(s->ratios),
                    quantile(s->ratios, 0.25), quantile(s->ratios, 0.75), median(s->blockMedians), perFrame);
        allocates |= s->allocations > 0;
    }
    if (const char* dir = std::getenv("YT_BENCH_DUMP"); dir && *dir)
        for (const auto& s : screens) dumpFrame(*s, dir);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("rounds: %d of %d frames per screen\n", rounds, blockFrames);
    if (!ahead)
        std::printf("not run ahead of other processes (nice %d not allowed): ratios move with the load\n", kPriority);
    std::printf("start-up to first frame: %.0f ms\n", startUpMs);
    std::printf("peak resident memory: %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::printf("renderer: %s / %s\n", reinterpret_cast<const char*>(glGetString(GL_VENDOR)),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::fflush(stdout);
    unlink("data");
    unlink("highscore.lst");
    rmdir(scratch);
    std::_Exit(allocates ? 1 : 0);
}
