#pragma once

#include <algorithm>
#include <cmath>

// Fourth-order band-pass: two resonant two-pole sections in series, the first at
// the band frequency f (Q 7.16), the second at 0.829 f (Q 7.1). Each section is
//   y[n] = a1 y[n-1] + a2 y[n-2] + b0 (x[n] - x[n-2])
// with peak gain equal to its Q; the pair's gain is deliberately not normalised.
// History is clamped to +-64 so an overdriven band cannot run away.
class Resonator {
 public:
  Resonator() = default;

  void init(double sampleRate, double frequency);
  void setFrequency(double frequency);
  void setLevel(double level) { level_ = level; }
  void update();
  void reset();

  double process(double x) {
    if (x != x) x = 0.0;
    const double d = offset_;
    const double x1a = x1a_ + d, x2a = x2a_ + d, y1a = y1a_ + d, y2a = y2a_ + d;
    const double x1b = x1b_ + d, x2b = x2b_ + d, y1b = y1b_ + d, y2b = y2b_ + d;
    const double y = a1a_ * y1a + a2a_ * y2a + b0a_ * (x - x2a);
    x2a_ = clamp(x1a);
    x1a_ = clamp(x);
    y2a_ = clamp(y1a);
    y1a_ = clamp(y);
    const double z = a1b_ * y1b + a2b_ * y2b + b0b_ * (y - x2b);
    x2b_ = clamp(x1b);
    x1b_ = clamp(y);
    y2b_ = clamp(y1b);
    y1b_ = clamp(z);
    offset_ = -d;
    return z * level_;
  }

  void process(const double* in, double* out, int n) {
    for (int i = 0; i < n; ++i) out[i] = process(in[i]);
  }
  void process(const float* in, double* out, int n) {
    for (int i = 0; i < n; ++i) out[i] = process(static_cast<double>(in[i]));
  }
  void processAdd(const double* in, double* out, int n) {
    for (int i = 0; i < n; ++i) out[i] += process(in[i]);
  }
  void processAdd(const double* in, double* out, double gain, int n) {
    for (int i = 0; i < n; ++i) out[i] += gain * process(in[i]);
  }
  void processAdd(const double* in, double* out, const double* gains, int n) {
    for (int i = 0; i < n; ++i) out[i] += gains[i] * process(in[i]);
  }

  // Once per slice: an infinite input turns the history into NaN, which would stay
  // for ever; the history is cleared then (the coefficients stay).
  void clearIfNotFinite() {
    if (!std::isfinite(x1a_ + x2a_ + y1a_ + y2a_ + x1b_ + x2b_ + y1b_ + y2b_)) {
      x1a_ = x2a_ = y1a_ = y2a_ = 0.0;
      x1b_ = x2b_ = y1b_ = y2b_ = 0.0;
    }
  }

  double frequency() const { return frequency_; }
  double level() const { return level_; }

 private:
  // Branch-free form (minsd/maxsd); passes NaN through like the plain comparison.
  static double clamp(double v) { return std::min(std::max(v, -64.0), 64.0); }
  void clearState();

  double sampleRate_ = -1.0;
  double frequency_ = 0.0;
  double frequency2_ = 0.0;
  double level_ = 0.0;
  // Section a (at the band frequency) and section b (at 0.829 of it).
  double b0a_ = 0.0, a1a_ = 0.0, a2a_ = 0.0;
  double b0b_ = 0.0, a1b_ = 0.0, a2b_ = 0.0;
  double x1a_ = 0.0, x2a_ = 0.0, y1a_ = 0.0, y2a_ = 0.0;
  double x1b_ = 0.0, x2b_ = 0.0, y1b_ = 0.0, y2b_ = 0.0;
  double offset_ = 1e-13;
};
