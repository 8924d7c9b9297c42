#pragma once

// Counts heap allocations while counting is on. Linking allocation_counter.cpp
// into a test binary replaces the global operator new and delete and, with
// glibc, interposes malloc, calloc, realloc and the aligned allocators.

// Starts counting from zero.
void startCountingAllocations();

// Stops counting and returns the allocations made since the start.
unsigned long stopCountingAllocations();

// Whether the C allocation functions are counted too, not only operator new.
bool countsCAllocations();
