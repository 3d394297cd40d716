#pragma once

#include "zorq-render/RenderError.h"

// Ctrl-C (SIGINT), SIGTERM and SIGHUP during a render: the handler only records the
// signal; the render loop notices it at the next block and unwinds, so every
// temporary file is removed on the way out.
class Interruption {
 public:
  // Installs the handlers (main thread, before rendering).
  static void install();
  // The signal that arrived, or 0.
  static int signal();
  // Throws Interrupted when a signal arrived.
  static void check();
  // Dies of the recorded signal with its default action, as the shell expects.
  static void reraise();
};

class Interrupted : public RenderError {
 public:
  explicit Interrupted(int signal)
      : RenderError("interrupted; nothing was written"), signal_(signal) {}
  int signalNumber() const { return signal_; }

 private:
  int signal_;
};
