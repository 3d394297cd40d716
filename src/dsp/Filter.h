#pragma once

#include <cmath>

// Two-pole Butterworth section (Q = 1/sqrt 2):
//   y[n] = b0 (x[n] + x[n-2]) + b1 x[n-1] + a1 y[n-1] + a2 y[n-2]
// An alternating 1e-13 offset is added to the history to keep it out of denormals.
class Filter {
 public:
  virtual ~Filter() = default;
  virtual void init(double sampleRate, double cornerHz) = 0;

  double process(double x) {
    const double d = offset_;
    const double xd = x + d;
    const double x1d = x1_ + d, x2d = x2_ + d, y1d = y1_ + d, y2d = y2_ + d;
    offset_ = -d;
    const double y = b0_ * (x2d + xd) + b1_ * x1d + a1_ * y1d + a2_ * y2d;
    x2_ = x1d;
    x1_ = xd;
    y2_ = y1d;
    y1_ = y;
    return y;
  }

  // Once per slice or tick: an infinite or NaN input leaves NaN in the history for
  // ever; clearing it there limits the damage to the time the bad input lasts.
  void clearIfNotFinite() {
    if (!std::isfinite(x1_ + x2_ + y1_ + y2_)) x1_ = x2_ = y1_ = y2_ = 0.0;
  }

 protected:
  // Shared part of the Butterworth design; returns cos(w) and sets a1, a2, k.
  double prepare(double sampleRate, double cornerHz, double& k);

  double a1_ = 0.0, a2_ = 0.0, b0_ = 0.0, b1_ = 0.0;
  double x1_ = 0.0, x2_ = 0.0, y1_ = 0.0, y2_ = 0.0;
  double offset_ = 1e-13;
};

class Lowpass : public Filter {
 public:
  void init(double sampleRate, double cornerHz) override;
};

class Highpass : public Filter {
 public:
  void init(double sampleRate, double cornerHz) override;
};
