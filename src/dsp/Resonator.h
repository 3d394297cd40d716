#pragma once

#include "dsp/MinMax.h"

// Fourth-order band-pass: two resonant two-pole sections in series, the first at
// the band frequency f (Q 7.16), the second at 0.829 f (Q 7.1). Each section is
//   y[n] = a1 y[n-1] + a2 y[n-2] + b0 (x[n] - x[n-2])
// with peak gain equal to its Q; the pair's gain is deliberately not normalised.
// History is clamped to +-64 so an overdriven band cannot run away, and read with an
// alternating 1e-13 offset that keeps it out of denormals.
//
// `step` is the scalar form the band bank's reference kernel uses; the object form
// (init, process, ...) wraps it for a single filter.
class Resonator {
 public:
  struct Coefficients {
    double b0a = 0.0, a1a = 0.0, a2a = 0.0;  // section a, at the band frequency
    double b0b = 0.0, a1b = 0.0, a2b = 0.0;  // section b, at 0.829 of it
  };
  struct History {
    double x1a = 0.0, x2a = 0.0, y1a = 0.0, y2a = 0.0;
    double x1b = 0.0, x2b = 0.0, y1b = 0.0, y2b = 0.0;
  };
  static constexpr double kInitialOffset = 1e-13;

  // Coefficients for a band at `frequency` Hz, which is held below 0.45 x the rate;
  // all zero when the rate is not above 0 (the filter is then silent).
  static Coefficients design(double sampleRate, double frequency);

  // One sample through both sections, the history read with offset d added; returns
  // section b's output. A NaN input enters as 0.
  static double step(const Coefficients& c, History& h, double d, double x) noexcept {
    if (x != x) x = 0.0;
    const double x1a = h.x1a + d, x2a = h.x2a + d, y1a = h.y1a + d, y2a = h.y2a + d;
    const double x1b = h.x1b + d, x2b = h.x2b + d, y1b = h.y1b + d, y2b = h.y2b + d;
    const double y = c.a1a * y1a + c.a2a * y2a + c.b0a * (x - x2a);
    h.x2a = clamp(x1a);
    h.x1a = clamp(x);
    h.y2a = clamp(y1a);
    h.y1a = clamp(y);
    const double z = c.a1b * y1b + c.a2b * y2b + c.b0b * (y - x2b);
    h.x2b = clamp(x1b);
    h.x1b = clamp(y);
    h.y2b = clamp(y1b);
    h.y1b = clamp(z);
    return z;
  }

  // Once per slice: an infinite input turns the history into NaN, which would stay
  // for ever; the history is cleared then (the coefficients stay).
  static void clearIfNotFinite(History& h) noexcept;

  Resonator() = default;

  void init(double sampleRate, double frequency);
  void setFrequency(double frequency);
  void setLevel(double level) { level_ = level; }
  void update();
  void reset();

  double process(double x) noexcept {
    const double d = offset_;
    offset_ = -d;
    return step(coefficients_, history_, d, x) * level_;
  }

  void process(const double* in, double* out, int n) noexcept {
    for (int i = 0; i < n; ++i) out[i] = process(in[i]);
  }
  void process(const float* in, double* out, int n) noexcept {
    for (int i = 0; i < n; ++i) out[i] = process(static_cast<double>(in[i]));
  }
  void processAdd(const double* in, double* out, int n) noexcept {
    for (int i = 0; i < n; ++i) out[i] += process(in[i]);
  }
  void processAdd(const double* in, double* out, double gain, int n) noexcept {
    for (int i = 0; i < n; ++i) out[i] += gain * process(in[i]);
  }
  void processAdd(const double* in, double* out, const double* gains, int n) noexcept {
    for (int i = 0; i < n; ++i) out[i] += gains[i] * process(in[i]);
  }

  void clearIfNotFinite() noexcept { clearIfNotFinite(history_); }

  double frequency() const { return frequency_; }
  double level() const { return level_; }

 private:
  // -64 .. 64; NaN passes through.
  static double clamp(double v) noexcept {
    return minConstantFirst(64.0, maxConstantFirst(-64.0, v));
  }

  double sampleRate_ = -1.0;
  double frequency_ = 0.0;
  double level_ = 0.0;
  Coefficients coefficients_;
  History history_;
  double offset_ = kInitialOffset;
};
