#pragma once

// Two-pole Butterworth section (Q = 1/sqrt 2):
//   y[n] = b0 (x[n] + x[n-2]) + b1 x[n-1] + a1 y[n-1] + a2 y[n-2]
// An alternating 1e-13 offset is added to the history to keep it out of denormals.
//
// `step` is the scalar form the band bank's reference kernel uses for its envelope
// followers; the object form wraps it for a single filter.
class Filter {
 public:
  struct Coefficients {
    double a1 = 0.0, a2 = 0.0, b0 = 0.0, b1 = 0.0;
  };
  struct History {
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  };
  static constexpr double kInitialOffset = 1e-13;
  // Corner and centre frequencies are held below this fraction of the sample rate:
  // a filter tuned above the Nyquist frequency rings loudly or blows up.
  static constexpr double kMaxFrequencyRatio = 0.45;

  static double limitBelowNyquist(double sampleRate, double hz) {
    const double highest = kMaxFrequencyRatio * sampleRate;
    return hz > highest ? highest : hz;
  }

  // One sample, the history and the input read with offset d added.
  static double step(const Coefficients& c, History& h, double d, double x) noexcept {
    const double xd = x + d;
    const double x1d = h.x1 + d, x2d = h.x2 + d, y1d = h.y1 + d, y2d = h.y2 + d;
    const double y = c.b0 * (x2d + xd) + c.b1 * x1d + c.a1 * y1d + c.a2 * y2d;
    h.x2 = x1d;
    h.x1 = xd;
    h.y2 = y1d;
    h.y1 = y;
    return y;
  }

  // Once per slice or tick: an infinite or NaN input leaves NaN in the history for
  // ever; clearing it there limits the damage to the time the bad input lasts.
  static void clearIfNotFinite(History& h) noexcept;

  virtual ~Filter() = default;
  // New coefficients for the corner; clears the history.
  virtual void init(double sampleRate, double cornerHz) = 0;

  double process(double x) noexcept {
    const double d = offset_;
    offset_ = -d;
    return step(coefficients_, history_, d, x);
  }
  // Clears the history; the coefficients stay.
  void reset() noexcept {
    history_ = History{};
    offset_ = kInitialOffset;
  }

  void clearIfNotFinite() noexcept { clearIfNotFinite(history_); }

  // For kernels that run the filter elsewhere: its state, and the state to go on from.
  const Coefficients& coefficients() const { return coefficients_; }
  const History& history() const { return history_; }
  double offset() const { return offset_; }
  void setState(const History& history, double offset) noexcept {
    history_ = history;
    offset_ = offset;
  }

 protected:
  // Shared part of the Butterworth design, with the corner held below Nyquist;
  // returns cos(w) and sets a1, a2 and k.
  static double prepare(double sampleRate, double cornerHz, Coefficients& c, double& k);
  void start(const Coefficients& c);

  Coefficients coefficients_;
  History history_;
  double offset_ = kInitialOffset;
};

class Lowpass : public Filter {
 public:
  static Coefficients design(double sampleRate, double cornerHz);
  void init(double sampleRate, double cornerHz) override { start(design(sampleRate, cornerHz)); }
};

class Highpass : public Filter {
 public:
  static Coefficients design(double sampleRate, double cornerHz);
  void init(double sampleRate, double cornerHz) override { start(design(sampleRate, cornerHz)); }
};
