#pragma once

// A callback that runs every few milliseconds on the thread that started it, from
// that thread's message loop (a thread timer on Windows, whose hosts pump messages
// on their UI thread). POSIX has no such loop: Start fails there, and the caller uses
// what its host offers instead. The thread that starts it.
#include <cstdint>
#include <functional>

class ThreadTimer {
 public:
  ThreadTimer() = default;
  ~ThreadTimer() { Stop(); }
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;

  // False when the system has no timer for this thread.
  bool Start(unsigned milliseconds, std::function<void()> tick);
  void Stop();
  bool Running() const { return id_ != 0; }

 private:
  uintptr_t id_ = 0;
};
