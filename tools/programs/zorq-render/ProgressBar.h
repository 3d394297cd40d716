#pragma once

#include <chrono>
#include <cstdio>

// A one-line progress bar on a terminal stream. It stays hidden for the first
// second, so short renders print nothing, and redraws at most ten times a second.
class ProgressBar {
 public:
  // enabled: the caller wants it; it also needs the stream to be a terminal.
  ProgressBar(std::FILE* stream, double totalSeconds, bool enabled);
  ~ProgressBar();

  void update(double doneSeconds);
  void finish();

 private:
  void draw(double doneSeconds);

  using Clock = std::chrono::steady_clock;

  std::FILE* stream_;
  double totalSeconds_;
  bool enabled_;
  bool shown_ = false;
  Clock::time_point started_;
  Clock::time_point lastDrawn_;
};
