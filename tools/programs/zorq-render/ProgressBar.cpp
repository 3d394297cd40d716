#include "zorq-render/ProgressBar.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/NumberText.h"

namespace {
constexpr auto kQuietPeriod = std::chrono::seconds(1);
constexpr auto kRedrawPeriod = std::chrono::milliseconds(100);
constexpr int kBarWidth = 40;
}  // namespace

ProgressBar::ProgressBar(std::FILE* stream, double totalSeconds, bool enabled)
    : stream_(stream),
      totalSeconds_(totalSeconds),
      enabled_(enabled && stream && isatty(fileno(stream))),
      started_(Clock::now()),
      lastDrawn_(started_) {}

// An unfinished bar (an error, Ctrl-C) keeps what it showed; the line is ended.
ProgressBar::~ProgressBar() {
  if (!shown_) return;
  std::fputc('\n', stream_);
  std::fflush(stream_);
}

void ProgressBar::update(double doneSeconds) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (now - started_ < kQuietPeriod || (shown_ && now - lastDrawn_ < kRedrawPeriod)) return;
  lastDrawn_ = now;
  draw(doneSeconds);
}

void ProgressBar::draw(double doneSeconds) {
  shown_ = true;
  const double fraction =
      totalSeconds_ > 0 ? std::clamp(doneSeconds / totalSeconds_, 0.0, 1.0) : 1.0;
  const int filled = int(std::lround(fraction * kBarWidth));
  const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
  std::fprintf(stream_, "\rrendering [%s] %3d%%  %s of %s s", bar.c_str(), int(fraction * 100),
               numbertext::Fixed(doneSeconds, 1).c_str(),
               numbertext::Fixed(totalSeconds_, 1).c_str());
  std::fflush(stream_);
}

void ProgressBar::finish() {
  if (!shown_) return;
  draw(totalSeconds_);
  std::fputc('\n', stream_);
  std::fflush(stream_);
  shown_ = false;
  enabled_ = false;
}
