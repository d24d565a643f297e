// SPDX-License-Identifier: MIT
#include "render/driver_heap.h"

#include <cstdlib>  // defines __GLIBC__ with the C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepFreedHeap() {
#if defined(__GLIBC__)
    // Far above what a frame frees; the memory stays within the peak the frames reach anyway.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}
