// Any bytes read as "game.cfg" must give four flags of 0 or 1 that survive a save and a load.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings.h"

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "settings fuzz: %s\n", what);
        std::abort();
    }
}

// A private directory for the two files, on tmpfs when there is one (the save syncs to disk).
// Kept alive to the very end so that the clean-up at exit can still use it.
const std::string& workDir() {
    static const std::string* const dir = [] {
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        pattern += "/yt-fuzz-settings-XXXXXX";
        check(mkdtemp(pattern.data()) != nullptr, "mkdtemp");
        return new std::string(pattern);
    }();
    static const bool cleanup = std::atexit([] {
        std::remove((*dir + "/in.cfg").c_str());
        std::remove((*dir + "/out.cfg").c_str());
        rmdir(dir->c_str());
    }) == 0;
    (void)cleanup;
    return *dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in = workDir() + "/in.cfg";
    const std::string out = workDir() + "/out.cfg";
    FILE* f = std::fopen(in.c_str(), "wb");
    check(f != nullptr, "cannot write input");
    check(std::fwrite(data, 1, size, f) == size, "short write");
    std::fclose(f);

    Settings first;
    first.load(in.c_str());
    const unsigned char flags[4] = {first.snowflakes, first.music, first.reflection, first.fullscreen};
    for (unsigned char v : flags) check(v == 0 || v == 1, "flag neither 0 nor 1");

    check(first.save(out.c_str()), "save failed");
    Settings second;
    second.snowflakes = second.music = second.reflection = second.fullscreen = 7;
    second.load(out.c_str());
    check(second.snowflakes == first.snowflakes && second.music == first.music &&
              second.reflection == first.reflection && second.fullscreen == first.fullscreen,
          "flags changed by a save and a load");
    return 0;
}
