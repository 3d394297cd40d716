#include "CoreClock.h"

#include <ctime>

double cpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double coreClockGHz() {
  constexpr long kTurns = 10'000'000;
  constexpr int kAddsPerTurn = 10;
  double best = 0.0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    long x = 0;
    const double start = cpuSeconds();
    for (long i = 0; i < kTurns; ++i)
      asm volatile(
          "add $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\t"
          "add $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0"
          : "+r"(x));
    const double seconds = cpuSeconds() - start;
    const double ghz = kTurns * kAddsPerTurn / seconds / 1e9;
    if (ghz > best) best = ghz;
  }
  return best;
}
