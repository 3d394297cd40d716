#pragma once

// The processor's clock as this thread sees it, in GHz: a chain of dependent integer
// additions (one cycle each) timed on the thread's CPU clock, the best of a few tries.
// Virtual machines often hide the cycle counters from perf; this needs none.
double coreClockGHz();
// CPU seconds this thread has run.
double cpuSeconds();
