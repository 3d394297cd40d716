#include "dsp/Resonator.h"

#include <cmath>

#include "dsp/Filter.h"

namespace {
constexpr double kSecondSectionRatio = 0.829;
}

Resonator::Coefficients Resonator::design(double sampleRate, double frequency) {
  Coefficients c;
  if (!(sampleRate > 0.0)) return c;
  const double f1 = Filter::limitBelowNyquist(sampleRate, frequency);
  const double f2 = kSecondSectionRatio * f1;
  const double w1 = 2.0 * M_PI * f1 / sampleRate;
  const double w2 = 2.0 * M_PI * f2 / sampleRate;
  const double alpha1 = std::sin(w1) / 14.32;
  const double alpha2 = std::sin(w2) / 14.2;
  const double k1 = 1.0 / (1.0 + alpha1);
  const double k2 = 1.0 / (1.0 + alpha2);
  c.b0a = 7.16 * alpha1 * k1;
  c.a1a = 2.0 * std::cos(w1) * k1;
  c.a2a = (alpha1 - 1.0) * k1;
  c.b0b = 7.1 * alpha2 * k2;
  c.a1b = 2.0 * std::cos(w2) * k2;
  c.a2b = (alpha2 - 1.0) * k2;
  return c;
}

void Resonator::clearIfNotFinite(History& h) noexcept {
  if (!std::isfinite(h.x1a + h.x2a + h.y1a + h.y2a + h.x1b + h.x2b + h.y1b + h.y2b)) h = History{};
}

void Resonator::init(double sampleRate, double frequency) {
  reset();
  sampleRate_ = sampleRate;
  level_ = 1.0;
  setFrequency(frequency);
}

void Resonator::setFrequency(double frequency) {
  frequency_ = frequency;
  update();
}

void Resonator::reset() {
  offset_ = kInitialOffset;
  coefficients_ = Coefficients{};
  history_ = History{};
}

void Resonator::update() {
  if (sampleRate_ > 0.0) coefficients_ = design(sampleRate_, frequency_);
}
