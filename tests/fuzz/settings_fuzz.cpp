// SPDX-License-Identifier: MIT
// Any bytes read as "game.cfg" must give four flags of 0 or 1 that survive a save and a load.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/settings.h"

namespace {

void check(bool ok, const char* what) {
    if (!ok) (std::fprintf(stderr, "settings fuzz: %s\n", what), std::abort());
}

std::string gDir;  // private directory for the two files, on tmpfs when there is one (the save syncs)

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gDir = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/yt-fuzz-settings-XXXXXX";
    check(mkdtemp(gDir.data()) != nullptr, "mkdtemp");
    std::atexit([] { std::filesystem::remove_all(gDir); });  // runs before gDir is destroyed
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in = gDir + "/in.cfg", out = gDir + "/out.cfg";
    FILE* f = std::fopen(in.c_str(), "wb");
    check(f != nullptr && std::fwrite(data, 1, size, f) == size, "cannot write input");
    std::fclose(f);

    Settings first, second;
    first.load(in.c_str());
    for (int i = 0; i < 4; ++i) check(first.flag(Settings::Flag(i)) <= 1, "flag neither 0 nor 1");
    check(first.save(out.c_str()), "save failed");
    for (int i = 0; i < 4; ++i) second.flag(Settings::Flag(i)) = 7;
    second.load(out.c_str());
    for (int i = 0; i < 4; ++i)
        check(second.flag(Settings::Flag(i)) == first.flag(Settings::Flag(i)), "flags changed by a save and a load");
    return 0;
}
