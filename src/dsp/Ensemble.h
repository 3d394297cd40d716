#pragma once

// Chorus for one output channel: the 7 kHz low-passed input is mixed with two taps
// of a 16 ms delay line whose delays (13.9 to 16 ms) are swept by a slow and a fast
// LFO. out = 0.5 (y + tapA + tapB), so identical taps give 1.5 x the filtered input.

#include <memory>

#include "dsp/Filter.h"
#include "dsp/LFO.h"

class Ensemble {
 public:
  Ensemble() = default;
  ~Ensemble() { cleanUp(); }
  Ensemble(const Ensemble&) = delete;
  Ensemble& operator=(const Ensemble&) = delete;

  // Reset, plug-in mutex held: prepare, then reset.
  void setSampleRate(double sampleRate);
  // Allocates the delay lines for the rate (16 ms each).
  void prepare(double sampleRate);
  // Clears the lines and the input filter, restarts both delays from 0 and applies
  // rate 1 and rate 2 to the LFOs, whose phases are kept.
  void reset();
  // Control tick: new delay targets from the LFOs; the delays glide to them.
  void update() noexcept;
  // Audio thread: one sample; 0 before the first setSampleRate.
  double process(double x) noexcept;
  // Audio thread: n samples, the same as n calls of process(double); in may be out.
  void process(const double* in, double* out, int n) noexcept;
  void cleanUp();

  // Rates in Hz; the engine sets them and then the matching LFO rate.
  double rate1 = 0.6;
  double rate2 = 6.0;
  LFO lfo1;
  LFO lfo2;

  int length() const { return length_; }
  double delayA() const { return tapA_.delay; }
  double delayB() const { return tapB_.delay; }

 private:
  struct Tap {
    std::unique_ptr<double[]> line;
    int writePosition = 0;
    double delay = 0.0;
    double delayStep = 0.0;
  };

  double readTap(const Tap& tap) const noexcept;
  double processSample(double x) noexcept;

  double sampleRate_ = 0.0;
  double glideFactor_ = 0.0;
  Tap tapA_;
  Tap tapB_;
  int length_ = 0;
  Lowpass inputFilter_;
};
