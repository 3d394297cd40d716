#include "dsp/Resonator.h"

#include <cmath>

namespace {
constexpr double kSecondSectionRatio = 0.829;
}

void Resonator::clearState() {
  offset_ = 1e-13;
  b0a_ = a1a_ = a2a_ = b0b_ = a1b_ = a2b_ = 0.0;
  x1a_ = x2a_ = y1a_ = y2a_ = 0.0;
  x1b_ = x2b_ = y1b_ = y2b_ = 0.0;
}

void Resonator::init(double sampleRate, double frequency) {
  clearState();
  sampleRate_ = sampleRate;
  level_ = 1.0;
  setFrequency(frequency);
}

void Resonator::setFrequency(double frequency) {
  frequency_ = frequency;
  frequency2_ = kSecondSectionRatio * frequency;
  update();
}

void Resonator::reset() { clearState(); }

void Resonator::update() {
  if (!(sampleRate_ > 0.0)) return;
  const double w1 = 2.0 * M_PI * frequency_ / sampleRate_;
  const double w2 = 2.0 * M_PI * frequency2_ / sampleRate_;
  const double alpha1 = std::sin(w1) / 14.32;
  const double alpha2 = std::sin(w2) / 14.2;
  const double k1 = 1.0 / (1.0 + alpha1);
  const double k2 = 1.0 / (1.0 + alpha2);
  b0a_ = 7.16 * alpha1 * k1;
  a1a_ = 2.0 * std::cos(w1) * k1;
  a2a_ = (alpha1 - 1.0) * k1;
  b0b_ = 7.1 * alpha2 * k2;
  a1b_ = 2.0 * std::cos(w2) * k2;
  a2b_ = (alpha2 - 1.0) * k2;
}
