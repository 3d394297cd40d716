#pragma once

#include <cstddef>

// Number of heap allocations in this test binary so far (all threads): operator
// new calls, plus malloc, calloc and realloc calls when countsMalloc() is true
// (not in GCC's sanitizer builds, whose runtimes provide malloc, nor on Windows).
size_t allocationCount();
bool countsMalloc();
