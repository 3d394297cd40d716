#include "dsp/LFO.h"

#include <cmath>

namespace {
constexpr double kThirdOfACycle = 2.0 * M_PI / 3.0;
}

void LFO::setRate(double hz) {
  increment_ = hz * 2.0 * M_PI / kTicksPerSecond;
  aheadSin_ = std::sin(increment_ + kThirdOfACycle);
  aheadCos_ = std::cos(increment_ + kThirdOfACycle);
}

void LFO::update() noexcept {
  output_ = std::sin(phase_);
  advance();
}

void LFO::advance() noexcept {
  phaseBeforeAdvance_ = phase_;
  phase_ += increment_;
  if (phase_ >= 2.0 * M_PI) phase_ = 0.0;
}

void LFO::catchUpOutput() noexcept {
  const double sine = std::sin(phaseBeforeAdvance_), cosine = std::cos(phaseBeforeAdvance_);
  output_ = sine;
  // sin(phase before + increment + a third): by the angle sum, unless the phase restarted.
  const double ahead = phase_ == phaseBeforeAdvance_ + increment_
                           ? sine * aheadCos_ + cosine * aheadSin_
                           : std::sin(phase_ + kThirdOfACycle);
  outPos2_ = (ahead + 1.0) * 0.5;
}
