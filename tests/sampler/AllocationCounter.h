#pragma once

#include <cstddef>

// Number of global operator new calls in this test binary so far (all threads).
size_t allocationCount();
