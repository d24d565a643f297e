// SPDX-License-Identifier: MIT
#pragma once

// The allocation counter of the benchmark and the Application's test (heap_count.cpp replaces
// operator new and delete): counts the allocations made while counting is on, except those made
// inside the OpenGL driver.
long allocationCount();
void countAllocations(bool on);
