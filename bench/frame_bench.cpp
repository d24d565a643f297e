// SPDX-License-Identifier: MIT
// Measures what a frame of each screen costs, since every animation advances by about one
// millisecond per frame: the game runs at its designed speed only while frames stay near 1 ms.
//
// Opens the game's 640 x 480 window, builds the real Application with the real data/ (run from the
// repository root, or give the data's parent directory as the only argument), draws a fixed number
// of frames of each screen and prints median and 95th-percentile frame times, their ratio to a
// bare frame (clear and swap) measured in the same run, the time from process start to the first
// drawn frame, the peak resident memory and the heap allocations per frame. Exits 1 if any screen
// allocates.
#include <GL/gl.h>
#include <SDL.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/settings.h"
#include "support/counting_new.h"
#include "support/test_access.h"

namespace {

using Clock = std::chrono::steady_clock;
// Frames measured per screen; YT_BENCH_FRAMES overrides it (the test suite runs a short pass).
int frameCount() {
    const char* n = std::getenv("YT_BENCH_FRAMES");
    return n && std::atoi(n) > 0 ? std::atoi(n) : 600;
}
constexpr int kWarmUp = 30;  // the software renderer compiles code for new state on first use

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

struct Result {
    const char* name;
    double median, p95;
    double allocationsPerFrame;
};

// Draws frameCount() frames with `frame` (warm-up frames first) and returns their times.
// YT_BENCH_DUMP names a directory for the last frame of each screen (PPM), to check that a faster
// build still draws the same pictures.
void dumpFrame(const char* name) {
    const char* dir = std::getenv("YT_BENCH_DUMP");
    if (!dir || !*dir) return;
    std::vector<unsigned char> rgb(640 * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::string file = name;
    for (char& c : file)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    const std::string path = std::string(dir) + "/" + file + ".ppm";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fprintf(f, "P6\n640 480\n255\n");
        std::fwrite(rgb.data(), 1, rgb.size(), f);
        std::fclose(f);
    }
}

Result measure(const char* name, const std::function<void()>& frame) {
    for (int i = 0; i < kWarmUp; ++i) {
        frame();
        SDL_GL_SwapBuffers();
    }
    glFinish();
    const int frames = frameCount();
    std::vector<double> ms;
    ms.reserve(frames);
    const long allocationsBefore = allocationCount();
    for (int i = 0; i < frames; ++i) {
        const auto t0 = Clock::now();
        frame();
        SDL_GL_SwapBuffers();
        glFinish();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    const long allocations = allocationCount() - allocationsBefore;
    frame();
    dumpFrame(name);
    std::sort(ms.begin(), ms.end());
    return {name, ms[ms.size() / 2], ms[ms.size() * 95 / 100], static_cast<double>(allocations) / frames};
}

// Fills rows 0 to 15 of the well (three quarters) with one gap per row, so nothing clears. The
// blocks share textures four at a time, as the heap holds them after whole pieces locked.
void fillWell(GameSession& game) {
    game.reset();
    TestAccess::setNextKind(game, 1);
    auto& settled = TestAccess::settled(game);
    settled.clear();
    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 11; ++column) {
            if (column == (row * 7 + 3) % 11) continue;
            Block b;
            b.setTexture(&game.blockTextures()[settled.size() / 4 % 7]);
            b.x = static_cast<float>(column);
            b.y = static_cast<float>(row);
            settled.push_back(b);
        }
    }
    game.rebuildGrid();
    Piece& piece = TestAccess::current(game);
    piece.layout(2, game.blockTextures().data());
    piece.translate(4, 20);
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

    static Settings settings;
    settings.music = 0;
    auto app = std::make_unique<Application>();
    // The same snow in every run, so that runs can be compared frame for frame: init scatters it.
    std::srand(1);
    app->init(&settings, surface);
    app->setProjection(640, 480);
    app->drawFrame(1);
    SDL_GL_SwapBuffers();
    glFinish();
    const double startUpMs = msSinceProcessStart();

    std::vector<Result> results;
    results.push_back(measure("bare frame (clear + swap)", [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }));
    const auto screen = [&](const char* name, ScreenState state, const std::function<void()>& setUp = {}) {
        if (setUp) setUp();
        TestAccess::setState(*app, state);
        results.push_back(measure(name, [&] {
            app->drawFrame(1);
            if (app->state() != state) TestAccess::setState(*app, state);  // keep the intro on its screen
        }));
    };
    screen("intro logo", Logo);
    screen("main menu + snow", MainMenu);
    screen("credits + snow", Credits);
    screen("high-score table + snow", Highscores);
    screen("playing, 3/4 full, snow + reflection", Playing, [&] {
        settings.snowflakes = settings.reflection = 1;
        fillWell(TestAccess::game(*app));
    });
    screen("playing, 3/4 full, no snow, no reflection", Playing,
           [&] { settings.snowflakes = settings.reflection = 0; });
    screen("farewell", Farewell);

    const double bare = results.front().median;
    bool allocates = false;
    std::printf("%-44s %9s %9s %8s %12s\n", "screen", "median ms", "p95 ms", "x bare", "allocs/frame");
    for (const Result& r : results) {
        std::printf("%-44s %9.3f %9.3f %8.1f %12.2f\n", r.name, r.median, r.p95, r.median / bare,
                    r.allocationsPerFrame);
        allocates |= r.allocationsPerFrame > 0;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
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
