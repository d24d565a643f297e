// SPDX-License-Identifier: MIT
// Measures what a frame of each screen costs, since every animation advances by about one
// millisecond per frame: the game runs at its designed speed only while frames stay near 1 ms.
//
// Opens the game's 640 x 480 window and builds one real Application with the real data/ (run from
// the repository root, or give the data's parent directory as the only argument) for every screen
// measured. Each is brought to its screen the way a player gets there: keys through handleKey and
// real frames through drawFrame; the playing screens are filled by a small bot that plays real
// pieces. The measurement runs in rounds: every round draws a short block of frames of each screen
// and of bare frames (clear and swap), in an order that rotates from round to round, so that a
// change in the machine's load hits every screen alike. A screen's figure is the median over the
// rounds of its block median divided by the bare block of the same round; the spread is the
// interquartile range over the rounds. Also prints the time from process start to the first drawn
// frame, the peak resident memory and the heap allocations per frame; exits 1 if any screen
// allocates.
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
#include "app/settings.h"
#include "game/occupancy_grid.h"
#include "game/piece.h"
#include "render/font.h"
#include "support/counting_new.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWarmUp = 30;  // the software renderer compiles code for new state on first use
constexpr unsigned kSnowSeed = 1;
constexpr unsigned kPieceSeed = 7;

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
    return (now.tv_sec + now.tv_nsec / 1e9 - startSeconds) * 1000.0;
}

void swap() { SDL_GL_SwapBuffers(); }

// The frame as the player's loop makes it: events, one frame, the swap.
void playerFrame(Application& app, float dt) {
    pumpEvents(app);
    app.drawFrame(dt);
    swap();
}

// ---------------------------------------------------------------------------------------------
// The bot: plays real pieces with the arrow keys and soft drop until `pieces` have settled. Column
// 10 stays empty, so no row is ever completed. The kinds come from rand(), seeded right before
// "Play!", and the bot draws its frames with dt 0 (the snow stands still and takes no random
// numbers), so every run builds the same well.
class Bot {
public:
    explicit Bot(Application& app) : app_(app) {}

    // From the main menu with "Play!" highlighted. False if the game did not follow the plan.
    bool play(int pieces) {
        // The game draws one kind when it resets and one at every spawn, each rand() % 7.
        std::vector<int> kinds;
        std::srand(kPieceSeed);
        for (int i = 0; i <= pieces; ++i) kinds.push_back(std::rand() % Piece::kKinds);
        std::srand(kPieceSeed);
        app_.handleKey(SDLK_RETURN);
        if (app_.state() != Playing) return false;
        int score = app_.game().score();
        for (int i = 0; i < pieces; ++i) {
            const Move move = bestMove(kinds[i]);
            if (move.ticks == 0) return false;  // no room left
            for (int t = 0; t < move.turns; ++t) app_.handleKey(SDLK_UP);
            for (int s = 0; s < std::abs(move.shift); ++s) app_.handleKey(move.shift < 0 ? SDLK_LEFT : SDLK_RIGHT);
            app_.handleKey(SDLK_DOWN);
            grid_ = move.after;
            // Every gravity step scores; the piece has locked and the next spawned once the steps
            // from spawn to rest and the locking one have all been made.
            const Uint32 start = SDL_GetTicks();
            while (app_.game().score() < score + move.ticks) {
                if (SDL_GetTicks() - start > 10000 || app_.state() != Playing) return false;
                playerFrame(app_, 0);
            }
            score = app_.game().score();
        }
        return true;
    }

private:
    struct Move {
        int turns = 0, shift = 0, ticks = 0;
        long cost = 0;
        OccupancyGrid after;
    };

    static Piece spawned(int kind) {
        Piece p;
        p.layout(kind, nullptr);
        p.translate(5, 22);
        return p;
    }

    // Holes, height and roughness of the columns 0..9 after the move; lower is better.
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

    Move bestMove(int kind) const {
        Move best;
        for (int turns = 0; turns < 4; ++turns) {
            for (int shift = -10; shift <= 10; ++shift) {
                Piece p = spawned(kind);
                for (int t = 0; t < turns; ++t) p.rotate();
                int moved = 0;
                for (int s = 0; s < std::abs(shift); ++s) {
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
                if (tooHigh) continue;
                m.cost = cost(m.after);
                if (best.ticks == 0 || m.cost < best.cost) best = m;
            }
            if (kind == 4) break;  // the square does not turn
        }
        return best;
    }

    Application& app_;
    OccupancyGrid grid_;  // the bot's own record of the settled cells
};

// ---------------------------------------------------------------------------------------------
struct Screen {
    std::string name;
    ScreenState state = Logo;          // the screen the Application stays on
    std::unique_ptr<Application> app;  // null: the bare frame, or a part of the playing frame
    Settings settings;                 // this Application's game.cfg
    int pauseKey = 0;                  // pressed before and after every frame (playing: P)
    void (*part)(Screen&) = nullptr;   // a part of the playing frame instead of drawFrame
    Screen* playing = nullptr;         // whose objects a part draws
    std::vector<double> blockMedians;  // ms, one per round
    std::vector<double> ratios;        // block median over the bare block of the same round
    int score = 0;                     // of a played game when the bot was done
    long allocations = 0;
    long frames = 0;
};

const Font* partFont = nullptr;  // the parts' own font, built like the game's

// The parts of the playing frame, each drawn alone with the playing screen's own objects.
void partSnow(Screen& s) { s.playing->app->snowfall().update(1); }
void partBoard(Screen& s) {
    s.playing->settings.reflection = 0;
    s.playing->app->game().drawBoard(1);
    s.playing->settings.reflection = 1;
}
void partBoardReflected(Screen& s) { s.playing->app->game().drawBoard(1); }
void partFarCopy(Screen& s) {
    glTranslatef(-8, -11, -50);
    s.playing->app->game().drawBlocksAndFrame();
}
void partPanel(Screen& s) {
    static const std::array<std::array<const char*, 2>, 3> legend = {
        {{"P", "Pause"}, {"ESC", "Quit"}, {"Space", "New Game"}}};
    static char text[64];
    GameSession& game = s.playing->app->game();
    glColor3f(1, 0, 0);
    std::snprintf(text, sizeof text, "Score: %i", game.score());
    partFont->print(430, 450, text, false);
    std::snprintf(text, sizeof text, "Level: %i", game.level());
    partFont->print(430, 430, text, false);
    std::snprintf(text, sizeof text, "Removed Lines: %i", game.lines());
    partFont->print(430, 410, text, false);
    partFont->print(430, 390, "Next brick:", false);
    const Piece next = game.preview();
    glTranslatef(10, 7.5f, -30);
    next.draw();
    glColor3f(1, 1, 1);
    for (int i = 0; i < 3; ++i) {
        partFont->print(495, static_cast<float>(40 - 15 * i), legend[i][0], true);
        partFont->print(550, static_cast<float>(40 - 15 * i), legend[i][1], false);
    }
}

void draw(Screen& s) {
    if (s.app) {
        s.app->drawFrame(1);
    } else {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        if (s.part) s.part(s);
    }
}

// One frame as the game makes it (drawFrame and the swap), and glFinish so that all of its drawing
// is done; milliseconds. A game stays paused between its frames: with gravity restarted at every
// frame, no piece moves unless a single frame takes longer than a gravity step.
double frame(Screen& s) {
    if (s.pauseKey) s.app->handleKey(s.pauseKey);
    const long allocations = allocationCount();
    const auto t0 = Clock::now();
    draw(s);
    swap();
    glFinish();
    const auto t1 = Clock::now();
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
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 0);
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
    Screen* playing = nullptr;
    if (wanted("playing, snow + reflection")) {
        playing = add("playing, snow + reflection", Playing);
        keys(playing, {SDLK_SPACE});
        if (!Bot(*playing->app).play(pieces)) {
            std::fprintf(stderr, "the bot could not fill the well\n");
            return 2;
        }
        playing->app->handleKey(SDLK_p);  // paused between its blocks
        playing->pauseKey = SDLK_p;
        playing->score = playing->app->game().score();
    }
    if (wanted("playing, plain")) {
        // Snow and reflection switched off in the options menu, then the same game.
        Screen* s = add("playing, plain", Playing);
        keys(s, {SDLK_SPACE, SDLK_DOWN, SDLK_RETURN, SDLK_RETURN, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_DOWN,
                 SDLK_DOWN, SDLK_RETURN});
        if (s->settings.snowflakes || s->settings.reflection || !Bot(*s->app).play(pieces)) {
            std::fprintf(stderr, "the bot could not fill the plain well\n");
            return 2;
        }
        s->app->handleKey(SDLK_p);
        s->pauseKey = SDLK_p;
        s->score = s->app->game().score();
    }
    static Font font;
    if (playing && std::getenv("YT_BENCH_PARTS")) {
        font.build();
        partFont = &font;
        const std::array<std::pair<const char*, void (*)(Screen&)>, 5> parts = {{
            {"part: snow", partSnow},
            {"part: board, no reflection", partBoard},
            {"part: board with reflection", partBoardReflected},
            {"part: far copy", partFarCopy},
            {"part: panel text + preview", partPanel},
        }};
        for (const auto& [name, draw] : parts) {
            Screen* s = addBare(name);
            s->part = draw;
            s->playing = playing;
        }
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
    for (const auto& s : screens)
        if (s->pauseKey && s->app->game().score() != s->score)
            std::printf("%s: gravity moved the piece during the run (a frame took longer than a step)\n",
                        s->name.c_str());
    if (const char* dir = std::getenv("YT_BENCH_DUMP"); dir && *dir)
        for (const auto& s : screens) dumpFrame(*s, dir);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("rounds: %d of %d frames per screen\n", rounds, blockFrames);
    std::printf("start-up to first frame: %.0f ms\n", startUpMs);
    std::printf("peak resident memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
    std::printf("renderer: %s / %s\n", reinterpret_cast<const char*>(glGetString(GL_VENDOR)),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::fflush(stdout);
    unlink("data");
    unlink("highscore.lst");
    rmdir(scratch);
    std::_Exit(allocates ? 1 : 0);
}
