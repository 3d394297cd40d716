#include "system/ThreadTimer.h"

bool ThreadTimer::Start(unsigned, std::function<void()>) { return false; }

void ThreadTimer::Stop() {}
