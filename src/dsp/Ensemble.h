#pragma once

// Chorus for one output channel: the 7 kHz low-passed input is mixed with two taps
// of a 16 ms delay line whose delays (13.9 to 16 ms) are swept by a slow and a fast
// LFO. out = 0.5 (y + tapA + tapB), so identical taps give 1.5 x the filtered input.
// Both taps read one line: the two lines of the design always hold the same samples.
//
// process is the scalar reference; processPair runs the left and right channels'
// ensembles together through a kernel for the chosen instruction set (EnsembleLanes.h),
// with the same output bit for bit.

#include <memory>

#include "dsp/Filter.h"
#include "dsp/LFO.h"
#include "dsp/SimdKernel.h"

struct EnsembleLane;

class Ensemble {
 public:
  Ensemble() = default;
  ~Ensemble() { cleanUp(); }
  Ensemble(const Ensemble&) = delete;
  Ensemble& operator=(const Ensemble&) = delete;

  // Reset, plug-in mutex held: prepare, then reset.
  void setSampleRate(double sampleRate);
  // Allocates the delay line for the rate (16 ms).
  void prepare(double sampleRate);
  // Clears the line and the input filter, restarts both delays from 0 and applies
  // rate 1 and rate 2 to the LFOs, whose phases are kept.
  void reset();
  // Control tick: new delay targets from the LFOs; the delays glide to them.
  void update() noexcept;
  // Control tick with the ensemble off: the LFOs' phases advance as update advances
  // them; the rest of update (the LFOs' outputs, the delays' steps) is left to catchUp,
  // since nothing reads it unless the ensemble comes on before the next tick.
  void coast() noexcept;
  // After coast: what the tick's update would have set, for an ensemble switched on
  // between two ticks. Nothing after update or reset.
  void catchUp() noexcept;
  // Audio thread, a sleeping engine: what n samples of processPair would do to the write
  // positions and the delays, the lines and the filters left as they are.
  static void skipPair(Ensemble& left, Ensemble& right, int n) noexcept;
  // The input filter's history and every sample of the line lie within +-level.
  bool isAtRest(double level) const noexcept;
  // Audio thread: one sample; 0 before the first setSampleRate.
  double process(double x) noexcept;
  // Audio thread: n samples, the same as n calls of process(double); in may be out.
  void process(const double* in, double* out, int n) noexcept;
  // Audio thread: n samples of each channel in place, the two ensembles side by side
  // (scalar: one after the other); both prepared for the same rate.
  static void processPair(Ensemble& left, Ensemble& right, double* leftOut, double* rightOut, int n,
                          SimdKernel kernel) noexcept;
  void cleanUp();

  // Rates in Hz; the engine sets them and then the matching LFO rate.
  double rate1 = 0.6;
  double rate2 = 6.0;
  LFO lfo1;
  LFO lfo2;

  int length() const { return length_; }
  double delayA() const { return delay_[0]; }
  double delayB() const { return delay_[1]; }

 private:
  void sweep() noexcept;
  double readTap(double delay) const noexcept;
  double processSample(double x) noexcept;
  EnsembleLane lane() noexcept;
  void takeBack(const EnsembleLane& lane) noexcept;

  double sampleRate_ = 0.0;
  double glideFactor_ = 0.0;
  std::unique_ptr<double[]> line_;
  int length_ = 0;
  int writePosition_ = 0;
  double delay_[2] = {0.0, 0.0};  // taps A and B
  double delayStep_[2] = {0.0, 0.0};
  bool coasting_ = false;  // the last tick was coast
  Lowpass inputFilter_;
};
