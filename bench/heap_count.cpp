// SPDX-License-Identifier: MIT
// The benchmark's allocation counter: every plain and array form of new and delete is replaced, as
// in the test suite, but allocations made inside the OpenGL driver are not counted. The software
// renderer compiles machine code with LLVM (a C++ library) the first time it meets a new drawing
// state, and a frame may meet one late; those are the driver's, not the game's. Looking at the
// stack is slow, so it is done only while counting is on (during the measured frames).
#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "heap_count.h"

namespace {
std::atomic<long> allocations{0};
std::atomic<bool> counting{false};

bool fromDriver() {
    void* frames[48];
    const int n = backtrace(frames, 48);
    for (int i = 0; i < n; ++i) {
        Dl_info info{};
        if (dladdr(frames[i], &info) && info.dli_fname &&
            (std::strstr(info.dli_fname, "/dri/") || std::strstr(info.dli_fname, "libLLVM")))
            return true;
    }
    return false;
}

// backtrace loads its unwinder on first use; do that before anything is counted.
const bool unwinderLoaded = [] {
    void* frame[1];
    return backtrace(frame, 1) >= 0;
}();

__attribute__((noinline)) void* countedAlloc(std::size_t size) noexcept {
    if (counting.load() && !fromDriver()) ++allocations;
    return std::malloc(size ? size : 1);
}
}  // namespace

long allocationCount() { return allocations.load(); }
void countAllocations(bool on) { counting.store(on); }

void* operator new(std::size_t size) {
    if (void* p = countedAlloc(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { operator delete(p); }
