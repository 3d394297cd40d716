#pragma once

// Control-rate sine oscillator, advanced once per 1 ms control tick.

class LFO {
 public:
  static constexpr double kTicksPerSecond = 1000.0;

  // Increment = hz x 2 pi / 1000 radians per tick.
  void setRate(double hz);
  // Output = sin(phase), then the phase advances; it restarts at 0 on reaching 2 pi.
  void update() noexcept;
  // The phase advances as update advances it; the output is left as it was (for ticks
  // in which nothing reads it).
  void advance() noexcept;
  // The output the last advance would have given as an update (sin of the phase it
  // left), and the second output, both from one sine and cosine.
  void catchUpOutput() noexcept;
  // Output mapped to 0..1.
  double getOutPos1() const { return (output_ + 1.0) * 0.5; }
  // A second output, a third of a cycle ahead of the advanced phase, 0..1, as the last
  // catchUpOutput set it.
  double getOutPos2() const { return outPos2_; }

  const double* output() const { return &output_; }
  double phase() const { return phase_; }
  void setPhase(double radians) { phase_ = radians; }
  double increment() const { return increment_; }

 private:
  double output_ = 0.0;
  double outPos2_ = 0.0;
  // sin and cos of the increment plus a third of a cycle: what the second output is ahead.
  double aheadSin_ = 0.8660254037844387, aheadCos_ = -0.5;
  double phase_ = 0.0;
  double phaseBeforeAdvance_ = 0.0;
  double increment_ = 0.0;
};
