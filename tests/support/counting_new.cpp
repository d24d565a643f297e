// SPDX-License-Identifier: MIT
#include "support/counting_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Every plain and array form of new and delete is replaced so that they always pair up (the
// driver uses several); out of line so that the compiler does not pair malloc and free itself.
static std::atomic<long> allocations{0};
__attribute__((noinline)) static void* countedAlloc(std::size_t size) noexcept {
    ++allocations;
    return std::malloc(size ? size : 1);
}

long allocationCount() { return allocations.load(); }

void* operator new(std::size_t size) {
    void* p = countedAlloc(size);
    return p ? p : throw std::bad_alloc();
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
