#include "dsp/Filter.h"

#include <cmath>

double Filter::prepare(double sampleRate, double cornerHz, double& k) {
  offset_ = 1e-13;
  const double w = (sampleRate > 0.0 ? 2.0 * M_PI / sampleRate : 0.0) * cornerHz;
  const double c = std::cos(w);
  const double alpha = std::sin(w) / std::sqrt(2.0);
  k = 1.0 / (1.0 + alpha);
  x1_ = x2_ = y1_ = y2_ = 0.0;
  a1_ = 2.0 * c * k;
  a2_ = (alpha - 1.0) * k;
  return c;
}

void Lowpass::init(double sampleRate, double cornerHz) {
  double k = 0.0;
  const double c = prepare(sampleRate, cornerHz, k);
  b0_ = 0.5 * (1.0 - c) * k;
  b1_ = (1.0 - c) * k;
}

void Highpass::init(double sampleRate, double cornerHz) {
  double k = 0.0;
  const double c = prepare(sampleRate, cornerHz, k);
  b0_ = 0.5 * (1.0 + c) * k;
  b1_ = -(1.0 + c) * k;
}
