// SPDX-License-Identifier: MIT
#pragma once

// Counts heap allocations made through operator new in this program. Link counting_new.cpp into a
// test executable (as a source, not through a library) to replace the global new and delete.
long allocationCount();
