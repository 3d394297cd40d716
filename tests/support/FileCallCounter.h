#pragma once

#include <cstddef>

// Number of file calls in this test binary so far (all threads): opening, reading,
// seeking, looking up (stat), locking and renaming, through stdio or the system calls'
// wrappers. The audio path must make none.
size_t fileCallCount();

// Called at every counted file call (null: nothing); for tests that check what holds
// while files are read.
void setFileCallObserver(void (*observer)());

// False where the C library's entry points cannot be replaced (Windows: the C runtime
// is a system DLL that a static program calls directly); the count then stays 0 and a
// test that relies on it says so by skipping.
bool fileCallsAreCounted();
