#include "dsp/Filter.h"

#include <cmath>

void Filter::clearIfNotFinite(History& h) noexcept {
  if (!std::isfinite(h.x1 + h.x2 + h.y1 + h.y2)) h = History{};
}

double Filter::prepare(double sampleRate, double cornerHz, Coefficients& c, double& k) {
  const double w =
      sampleRate > 0.0 ? 2.0 * M_PI / sampleRate * limitBelowNyquist(sampleRate, cornerHz) : 0.0;
  const double cosine = std::cos(w);
  const double alpha = std::sin(w) / std::sqrt(2.0);
  k = 1.0 / (1.0 + alpha);
  c.a1 = 2.0 * cosine * k;
  c.a2 = (alpha - 1.0) * k;
  return cosine;
}

void Filter::start(const Coefficients& c) {
  coefficients_ = c;
  reset();
}

Lowpass::Coefficients Lowpass::design(double sampleRate, double cornerHz) {
  Coefficients c;
  double k = 0.0;
  const double cosine = prepare(sampleRate, cornerHz, c, k);
  c.b0 = 0.5 * (1.0 - cosine) * k;
  c.b1 = (1.0 - cosine) * k;
  return c;
}

Highpass::Coefficients Highpass::design(double sampleRate, double cornerHz) {
  Coefficients c;
  double k = 0.0;
  const double cosine = prepare(sampleRate, cornerHz, c, k);
  c.b0 = 0.5 * (1.0 + cosine) * k;
  c.b1 = -(1.0 + cosine) * k;
  return c;
}
