// SPDX-License-Identifier: MIT
// Compares two directories of frame dumps (YT_BENCH_DUMP of yt_frame_bench, one PPM per screen):
// for every screen of the first directory, how many pixels differ in the second and by how many
// levels at most (of 255, in any channel). Exits 1 if a screen is missing or differs in more than
// the allowed share of pixels (default 0.5 %) or by more than the allowed levels (default 2).
//
//   yt_frame_compare BEFORE_DIR AFTER_DIR [MAX_PERCENT [MAX_LEVELS]]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The pixels of a binary PPM (P6, maxval 255) as bytes; empty if the file is not one.
std::vector<unsigned char> readPpm(const std::filesystem::path& path, int& width, int& height) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    if (!(in >> magic >> width >> height >> maxval) || magic != "P6" || maxval != 255) return {};
    in.get();  // the one white-space character before the pixels
    std::vector<unsigned char> pixels(std::istreambuf_iterator<char>(in), {});
    if (pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) return {};
    return pixels;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s BEFORE_DIR AFTER_DIR [MAX_PERCENT [MAX_LEVELS]]\n", argv[0]);
        return 2;
    }
    const double maxPercent = argc > 3 ? std::atof(argv[3]) : 0.5;
    const int maxLevels = argc > 4 ? std::atoi(argv[4]) : 2;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.path().extension() == ".ppm") files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    bool ok = !files.empty();
    std::printf("%-40s %14s %8s %11s\n", "screen", "pixels differ", "%", "max levels");
    for (const auto& before : files) {
        const auto after = std::filesystem::path(argv[2]) / before.filename();
        int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
        const auto a = readPpm(before, w1, h1);
        const auto b = readPpm(after, w2, h2);
        if (a.empty() || b.empty() || w1 != w2 || h1 != h2) {
            std::printf("%-40s %14s\n", before.stem().c_str(), "missing");
            ok = false;
            continue;
        }
        long differ = 0;
        int levels = 0;
        for (std::size_t i = 0; i < a.size(); i += 3) {
            int d = 0;
            for (std::size_t c = 0; c < 3; ++c) d = std::max(d, std::abs(a[i + c] - b[i + c]));
            differ += d > 0 ? 1 : 0;
            levels = std::max(levels, d);
        }
        const double percent = 100.0 * static_cast<double>(differ) / (static_cast<double>(w1) * h1);
        std::printf("%-40s %14ld %8.3f %11d\n", before.stem().c_str(), differ, percent, levels);
        ok &= percent <= maxPercent && levels <= maxLevels;
    }
    return ok ? 0 : 1;
}
