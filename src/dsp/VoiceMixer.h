#pragma once

// Adds the keyboard voices into the carrier, slice by slice. The envelopes of the
// voices that are moving (attacking or releasing) are worked out first, a few voices
// side by side; then a kernel (VoiceRun.h) for the chosen instruction set adds every
// playing voice, vectorised across frames. Each frame receives the voices' terms in
// voice order, so the output is the same, bit for bit, as Voice::process on each voice
// in turn, for every kernel.

#include <memory>

#include "dsp/SimdKernel.h"
#include "dsp/VoiceRun.h"

class Voice;

class VoiceMixer {
 public:
  // Host thread (reset): room for slices of up to maxFrames (longer ones run in pieces)
  // of up to maxVoices voices.
  void prepare(int maxVoices, int maxFrames, SimdKernel kernel);

  // Audio thread: adds n frames of every playing voice into out, in the order given; the
  // voices advance as Voice::process advances them.
  void process(Voice* const* voices, int count, double* out, int n) noexcept;

  SimdKernel kernel() const { return kernel_; }

 private:
  static constexpr int kMaxPieceFrames = 1024;

  std::unique_ptr<VoiceRun[]> runs_;
  std::unique_ptr<Voice*[]> playing_;
  std::unique_ptr<Voice*[]> moving_;  // the playing voices whose envelopes move
  std::unique_ptr<double*[]> movingLevels_;
  std::unique_ptr<double[]> levels_;  // maxVoices x frames
  std::unique_ptr<double[]> ones_;    // the levels of a voice held at full level
  int maxVoices_ = 0;
  int maxFrames_ = 0;
  SimdKernel kernel_ = SimdKernel::kScalar;
  void (*mix_)(const VoiceRun*, int, double*, int) noexcept = mixVoicesScalar;
};
