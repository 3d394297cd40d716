#pragma once

// The host's run loop on Linux (Linux::IRunLoop), which calls the editor back on the
// UI thread: when its window's connection has events, and on a redraw timer. The
// editor starts no thread of its own. The handler the host holds is an object of its
// own, counted honestly: a host may keep it after it was unregistered, and a call
// that comes then does nothing. UI thread.
#include <functional>

#include "formats/vst3/Vst3Abi.h"

class Vst3RunLoop {
 public:
  static constexpr vst3::uint64 kTimerMs = 25;  // the editor's redraw cadence, 40 Hz

  Vst3RunLoop() = default;
  ~Vst3RunLoop() { stop(); }
  Vst3RunLoop(const Vst3RunLoop&) = delete;
  Vst3RunLoop& operator=(const Vst3RunLoop&) = delete;

  // The run loop `frame` offers, else null (not held).
  static vst3::linux_ui::IRunLoop* offeredBy(vst3::FUnknown* frame);
  // Calls `tick` on every timer tick and, when `fd` is not -1, whenever `fd` has
  // events. False when the host takes neither registration.
  bool start(vst3::linux_ui::IRunLoop* loop, int fd, std::function<void()> tick);
  // Stops watching the descriptor (the connection is gone); the timer goes on.
  void stopWatchingFd();
  int watchedFd() const { return fd_; }
  void stop();

 private:
  class Handler;
  vst3::linux_ui::IRunLoop* loop_ = nullptr;  // held while started
  Handler* handler_ = nullptr;                // held while started
  bool timer_ = false;
  int fd_ = -1;
};
