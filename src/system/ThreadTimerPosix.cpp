#include "system/ThreadTimer.h"

// The tick is taken by value because the Windows timer keeps it; here there is no timer.
bool ThreadTimer::Start(unsigned,
                        std::function<void()>) {  // NOLINT(performance-unnecessary-value-param)
  return false;
}

void ThreadTimer::Stop() {}
