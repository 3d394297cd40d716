#include "dsp/LFO.h"

#include <cmath>

void LFO::setRate(double hz) { increment_ = hz * 2.0 * M_PI / kTicksPerSecond; }

void LFO::update() noexcept {
  output_ = std::sin(phase_);
  advance();
}

void LFO::advance() noexcept {
  phaseBeforeAdvance_ = phase_;
  phase_ += increment_;
  if (phase_ >= 2.0 * M_PI) phase_ = 0.0;
}

void LFO::catchUpOutput() noexcept { output_ = std::sin(phaseBeforeAdvance_); }

double LFO::getOutPos2() const noexcept {
  return (std::sin(phase_ + 2.0 * M_PI / 3.0) + 1.0) * 0.5;
}
