#include "system/ThreadTimer.h"

#include <windows.h>

#include <map>

namespace {
// A thread timer's procedure learns only the timer's id: the running timers' ticks by
// id, one table per thread, since a timer fires only on the thread that set it.
std::map<UINT_PTR, std::function<void()>>& running() {
  thread_local std::map<UINT_PTR, std::function<void()>> ticks;
  return ticks;
}

void CALLBACK fire(HWND, UINT, UINT_PTR id, DWORD) {
  const auto found = running().find(id);
  if (found == running().end()) return;
  // A copy: the tick may stop its own timer.
  const std::function<void()> tick = found->second;
  if (tick) tick();
}
}  // namespace

bool ThreadTimer::Start(unsigned milliseconds, std::function<void()> tick) {
  Stop();
  const UINT_PTR id = SetTimer(nullptr, 0, milliseconds, &fire);
  if (id == 0) return false;
  id_ = id;
  running()[id] = std::move(tick);
  return true;
}

void ThreadTimer::Stop() {
  if (id_ == 0) return;
  KillTimer(nullptr, UINT_PTR(id_));
  running().erase(UINT_PTR(id_));
  id_ = 0;
}
