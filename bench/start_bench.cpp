// SPDX-License-Identifier: MIT
// Measures what a player waits for and what the game takes while it waits at the main menu, on this
// machine and its X server ($DISPLAY): the time from exec to the first lit (not black) pixel in the
// program's window, and for the game, after a key has skipped the intro, the processor time (in
// cores, user and system, all threads) and the memory (resident now, and its peak) idling on the
// main menu. The time to the first frame moves by hundreds of milliseconds from one run to the
// next with the machine, so every start of the game is paired with a start of a bare SDL OpenGL
// window (yt_bare_window) right before it: the game's figure is its time above that floor.
//
//   yt_start_bench [RUNS [NAME GAME DATA]...]
//
// RUNS rounds (default 5); each round starts the bare window and then a game, for every game named
// (by default this build's, with the repository's data/), in an order that rotates from round to
// round. Each program starts in a fresh temporary directory that holds a link to DATA and a game.cfg
// for a window, music off, reflection and snow on. Prints every run, then the median of each figure
// over the rounds with its range, and for a second game onwards the change from the first one,
// taken round by round. Exits 2 if a program does not start, show its first frame or (the game)
// reach its main menu. YT_START_IDLE: seconds of idling measured (default 10).
// The method and figures are in docs/performance.md.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "render/text_layout.h"
#include "support/temp_dir.h"
#include "support/x_screen.h"
// After the others: Xlib defines macros such as None and Status.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
constexpr auto kShowLimit = 30s;                 // a start that shows nothing for so long has failed
constexpr auto kMenuLimit = 20s;                 // the intro runs into the menu by itself after 10 s
constexpr auto kSettle = 1s;                     // on the menu before its idling is measured
constexpr double kPeersMiB = 109;                // the least that peer games on a player's desktop took
constexpr int kPriority = -15;                   // nice value asked for, as the frame benchmark does
constexpr const char* kWindowedCfg = "0 0 1 1";  // full screen and music off, reflection and snow on

struct Program {
    std::string name, binary, data;  // data empty: the bare window, which reads none
};

struct Run {
    double firstFrameMs = 0;
    double cores = 0;    // processor time over wall time while idling on the menu
    double rssMiB = 0;   // resident at the end of the idling
    double peakMiB = 0;  // the largest resident size since the start (VmHWM)
};

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Asks `done` every `step` until it says yes or `limit` has passed.
bool poll(const std::function<bool()>& done, Clock::duration limit, Clock::duration step) {
    for (const auto end = Clock::now() + limit; Clock::now() < end; std::this_thread::sleep_for(step))
        if (done()) return true;
    return done();
}

// A program started in a fresh directory that links to its data; killed when this goes.
struct Started {
    TempDir dir;
    pid_t pid = -1;
    Clock::time_point exec;

    explicit Started(const Program& p) {
        if (!p.data.empty()) {
            std::filesystem::create_directory_symlink(std::filesystem::absolute(p.data), dir.file("data"));
            dir.write("game.cfg", kWindowedCfg);
        }
        const std::string binary = std::filesystem::absolute(p.binary);  // started from its directory
        exec = Clock::now();
        if ((pid = fork()) == 0) {
            // Its start-up lines go; what it says on standard error, why it cannot start, stays.
            dup2(open("/dev/null", O_WRONLY), 1);
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (chdir(dir.path().c_str()) == 0) execl(binary.c_str(), binary.c_str(), nullptr);
            _exit(127);
        }
    }
    ~Started() {
        if (!running()) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    // False once it has ended (and been reaped: its number is no longer its own).
    bool running() {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) != 0) pid = -1;
        return pid > 0;
    }
    std::string proc(const char* file) const {
        std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Processor time used by all its threads, user and system; seconds.
    double cpuSeconds() const {
        const std::string stat = proc("stat");
        std::istringstream fields(stat.substr(std::min(stat.rfind(')') + 1, stat.size())));
        std::string skip;
        for (int field = 3; field < 14; ++field) fields >> skip;  // state to cmajflt
        double utime = 0, stime = 0;
        fields >> utime >> stime;
        return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    // A line of /proc/PID/status given in kB, such as VmRSS; MiB, 0 if missing.
    double statusMiB(const std::string& key) const {
        std::istringstream lines(proc("status"));
        double kB = 0;
        for (std::string line; std::getline(lines, line);)
            if (line.starts_with(key + ":")) std::istringstream(line.substr(key.size() + 1)) >> kB;
        return kB / 1024;
    }
};

// The viewable top-level windows of process `pid`, by the _NET_WM_PID that SDL gives them.
std::vector<Window> windowsOf(Display* d, pid_t pid) {
    static const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    std::vector<Window> found;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return found;
    for (unsigned i = 0; i < count; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* value = nullptr;
        XWindowAttributes a{};
        if (XGetWindowProperty(d, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                               &value) == Success &&
            value && items == 1 && *reinterpret_cast<long*>(value) == pid && XGetWindowAttributes(d, children[i], &a) &&
            a.map_state == IsViewable)
            found.push_back(children[i]);
        if (value) XFree(value);
    }
    if (children) XFree(children);
    return found;
}

// A window's pixels read through shared memory (MIT-SHM): under half a millisecond for 640 x 480
// under Xvfb, where XGetImage takes about 10, far longer than a step of the polling.
struct SharedImage {
    Display* display;
    XShmSegmentInfo segment{};
    XImage* image;

    SharedImage(Display* d, const XWindowAttributes& a)
        : display(d),
          image(XShmCreateImage(d, a.visual, static_cast<unsigned>(a.depth), ZPixmap, nullptr, &segment,
                                static_cast<unsigned>(a.width), static_cast<unsigned>(a.height))) {
        if (!image) return;
        segment.shmid = shmget(
            IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height),
            IPC_CREAT | 0600);
        if (segment.shmid < 0) return;
        void* memory = shmat(segment.shmid, nullptr, 0);
        shmctl(segment.shmid, IPC_RMID, nullptr);  // the segment goes with its last user
        if (memory == reinterpret_cast<void*>(-1)) return;
        segment.shmaddr = image->data = static_cast<char*>(memory);
        XShmAttach(d, &segment);
        XSync(d, False);
    }
    ~SharedImage() {
        if (segment.shmaddr) {
            XShmDetach(display, &segment);
            XSync(display, False);
            shmdt(segment.shmaddr);
        }
        if (image) {
            image->data = nullptr;  // not Xlib's to free
            XDestroyImage(image);
        }
    }
    SharedImage(const SharedImage&) = delete;
    SharedImage& operator=(const SharedImage&) = delete;

    bool fits(const XWindowAttributes& a) const {
        return image && image->width == a.width && image->height == a.height && image->depth == a.depth;
    }
    // Whether any pixel of the window is not black.
    bool lit(Window w) {
        if (!segment.shmaddr || !XShmGetImage(display, w, image, 0, 0, AllPlanes)) return false;
        const unsigned long colour = image->red_mask | image->green_mask | image->blue_mask;
        const bool words = image->bits_per_pixel == 32 &&
                           image->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
        for (int y = 0; y < image->height; ++y) {
            const char* row = image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line;
            for (int x = 0; x < image->width; ++x) {
                std::uint32_t pixel = 0;
                if (words) std::memcpy(&pixel, row + 4 * x, 4);  // 24-bit colour, as Xvfb's
                if (((words ? pixel : XGetPixel(image, x, y)) & colour) != 0) return true;
            }
        }
        return false;
    }
};

// Whether any pixel of the window is not black; `shared` is made again for a window of another size.
bool lit(Display* d, Window w, std::unique_ptr<SharedImage>& shared) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, w, &a) || a.width <= 0 || a.height <= 0) return false;
    if (!shared || !shared->fits(a)) shared = std::make_unique<SharedImage>(d, a);
    return shared->lit(w);
}

// The main menu with the cursor on its first item ("Play!" red, the four below it white), read as
// the end-to-end tests read it.
bool mainMenu(Window w) {
    using namespace textLayout;
    const xscreen::Image image = xscreen::grab(w);
    for (int row = 0; row < 5; ++row) {
        const float x = kMenuTop.x, y = kMenuTop.y - kMenuRowStep * static_cast<float>(row);
        const float x1 = x + 12 * kGlyphStep, y1 = y + kGlyphHeight;
        if ((image.red(x, y, x1, y1) > 15) != (row == 0) || image.lit(x, y, x1, y1) < 15) return false;
    }
    return true;
}

Window largest(const std::vector<Window>& windows) {
    return *std::ranges::max_element(windows, {}, [](Window w) {
        const auto [width, height] = xscreen::size(w);
        return long{width} * height;
    });
}

// One start of `p`: its first frame, and for a game its idling on the main menu. False, with the
// reason on standard error, if it did not get that far.
bool measure(Display* d, const Program& p, double idleSeconds, Run& run) {
    Started s(p);
    std::vector<Window> windows;
    std::unique_ptr<SharedImage> shared;
    const auto shown = [&] {
        windows = windowsOf(d, s.pid);
        return std::ranges::any_of(windows, [&](Window w) { return lit(d, w, shared); });
    };
    if (!poll([&] { return !s.running() || shown(); }, kShowLimit, 2ms) || !s.running()) {
        std::fprintf(stderr, "%s: %s\n", p.name.c_str(), s.running() ? "no frame within 30 s" : "ended before a frame");
        return false;
    }
    run.firstFrameMs = ms(Clock::now() - s.exec);
    if (p.data.empty()) return true;

    // Any key skips the intro. Without a window manager the window gets the keyboard from xdotool,
    // which sends the key through XTEST as a real one; a key lost on the way is sent again.
    const std::string press =
        "xdotool windowfocus --sync " + std::to_string(largest(windows)) + " key --delay 0 space >/dev/null 2>&1";
    const auto onMenu = [&] {
        windows = windowsOf(d, s.pid);
        return !windows.empty() && mainMenu(largest(windows));
    };
    bool menu = false;
    for (const auto end = Clock::now() + kMenuLimit; !menu && Clock::now() < end && s.running();)
        menu = std::system(press.c_str()) == 0 && poll(onMenu, 3s, 50ms);
    if (!menu || !s.running()) {
        std::fprintf(stderr, "%s: did not reach the main menu\n", p.name.c_str());
        return false;
    }
    std::this_thread::sleep_for(kSettle);
    const double cpu0 = s.cpuSeconds();
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(idleSeconds));
    const double cpu1 = s.cpuSeconds();
    run.cores = (cpu1 - cpu0) / (ms(Clock::now() - t0) / 1000);
    run.rssMiB = s.statusMiB("VmRSS");
    run.peakMiB = s.statusMiB("VmHWM");
    if (!s.running() || run.peakMiB == 0) {
        std::fprintf(stderr, "%s: ended on the main menu\n", p.name.c_str());
        return false;
    }
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// "median (lowest to highest)", each number with `decimals` places and a sign if `sign`.
std::string figure(const std::vector<double>& v, int decimals, bool sign = false) {
    const auto [low, high] = std::ranges::minmax(v);
    const char* format = sign ? "%+.*f (%+.*f to %+.*f)" : "%.*f (%.*f to %.*f)";
    char text[96];
    std::snprintf(text, sizeof text, format, decimals, median(v), decimals, low, decimals, high);
    return text;
}

// What a program gave over the rounds: one entry per round.
struct Figures {
    std::vector<double> firstFrameMs, aboveBareMs, cores, rssMiB, peakMiB;
};

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    std::vector<Program> games;
    for (int i = 2; i + 2 < argc; i += 3) games.push_back({argv[i], argv[i + 1], argv[i + 2]});
    if (argc == 1 || argc == 2) games.push_back({"game", YT_GAME_BINARY, YT_SOURCE_DIR "/data"});
    if (rounds < 1 || argc > 2 + 3 * static_cast<int>(games.size()) || games.empty()) {
        std::fprintf(stderr, "usage: yt_start_bench [RUNS [NAME GAME DATA]...]\n");
        return 2;
    }
    const Program bare{"bare window", YT_BARE_WINDOW, ""};
    const char* idle = std::getenv("YT_START_IDLE");
    const double idleSeconds = idle && std::atof(idle) > 0 ? std::atof(idle) : 10;

    // A request on a window that has just gone must not end the benchmark through Xlib's default
    // handler, which exits.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "no X display: set DISPLAY\n");
        return 2;
    }
    // Ahead of other processes where allowed, like the frame benchmark; the programs inherit it.
    const bool ahead = setpriority(PRIO_PROCESS, 0, kPriority) == 0;

    Figures bareFigures;
    std::vector<Figures> figures(games.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < games.size(); ++i) {
            const std::size_t g = (i + static_cast<std::size_t>(round)) % games.size();
            Run floor, run;
            if (!measure(d, bare, idleSeconds, floor) || !measure(d, games[g], idleSeconds, run)) return 2;
            Figures& f = figures[g];
            bareFigures.firstFrameMs.push_back(floor.firstFrameMs);
            f.firstFrameMs.push_back(run.firstFrameMs);
            f.aboveBareMs.push_back(run.firstFrameMs - floor.firstFrameMs);
            f.cores.push_back(run.cores);
            f.rssMiB.push_back(run.rssMiB);
            f.peakMiB.push_back(run.peakMiB);
            std::printf("round %d: bare window %.0f ms, %s %.0f ms (%+.0f), %.2f cores, %.1f MiB, peak %.1f MiB\n",
                        round + 1, floor.firstFrameMs, games[g].name.c_str(), run.firstFrameMs,
                        run.firstFrameMs - floor.firstFrameMs, run.cores, run.rssMiB, run.peakMiB);
            std::fflush(stdout);
        }
    }

    std::printf("\nmedian (lowest to highest) of %d rounds; cores and memory idling %.0f s on the main menu\n", rounds,
                idleSeconds);
    std::printf("%-15s %-24s %-24s %-22s %-24s %s\n", "", "first frame, ms", "above the bare window", "cores",
                "resident, MiB", "peak, MiB");
    std::printf("%-15s %-24s\n", bare.name.c_str(), figure(bareFigures.firstFrameMs, 0).c_str());
    for (std::size_t g = 0; g < games.size(); ++g) {
        const Figures& f = figures[g];
        std::printf("%-15s %-24s %-24s %-22s %-24s %s\n", games[g].name.c_str(), figure(f.firstFrameMs, 0).c_str(),
                    figure(f.aboveBareMs, 0).c_str(), figure(f.cores, 2).c_str(), figure(f.rssMiB, 1).c_str(),
                    figure(f.peakMiB, 1).c_str());
    }
    // A change judged against the first game round by round: its time above the floor, its idling.
    for (std::size_t g = 1; g < games.size(); ++g) {
        Figures change;
        const Figures &f = figures[g], &first = figures[0];
        for (int r = 0; r < rounds; ++r) {
            const auto i = static_cast<std::size_t>(r);
            change.aboveBareMs.push_back(f.aboveBareMs[i] - first.aboveBareMs[i]);
            change.cores.push_back(f.cores[i] - first.cores[i]);
            change.rssMiB.push_back(f.rssMiB[i] - first.rssMiB[i]);
            change.peakMiB.push_back(f.peakMiB[i] - first.peakMiB[i]);
        }
        const std::string name = games[g].name + " - " + games[0].name;
        std::printf("%-15s %-24s %-24s %-22s %-24s %s\n", name.c_str(), "", figure(change.aboveBareMs, 0, true).c_str(),
                    figure(change.cores, 2, true).c_str(), figure(change.rssMiB, 1, true).c_str(),
                    figure(change.peakMiB, 1, true).c_str());
    }
    double highest = 0;
    for (const Figures& f : figures) highest = std::max(highest, std::ranges::max(f.peakMiB));
    std::printf("peak memory %s the peers' %.0f MiB: at most %.1f MiB\n", highest < kPeersMiB ? "below" : "NOT below",
                kPeersMiB, highest);
    if (!ahead)
        std::printf("not run ahead of other processes (nice %d not allowed): the times move with the load\n",
                    kPriority);
    XCloseDisplay(d);
    return 0;
}
