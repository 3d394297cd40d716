#pragma once

// Adds the keyboard voices into the carrier. The voices are planned slice by slice, as
// the control ticks move them, and mixed once for many slices: each voice's slices join
// into one run (VoiceRun.h) for as long as its table, pitch, amplitude and level law stay
// the same, so what a run costs to set up is paid once per host block rather than once
// per tick. The envelopes of the voices that are moving (attacking or releasing) are
// worked out when planned, a few voices side by side; then a kernel for the chosen
// instruction set adds every run, vectorised across frames. Each frame receives the
// voices' terms in voice order, so the output is the same, bit for bit, as
// Voice::process on each voice in turn, slice by slice, for every kernel.

#include <memory>

#include "dsp/SimdKernel.h"
#include "dsp/VoiceRun.h"

class Voice;

class VoiceMixer {
 public:
  // Host thread (reset): room for up to maxFrames frames in up to maxSlices slices
  // between two mixes, of up to maxVoices voices.
  void prepare(int maxVoices, int maxFrames, int maxSlices, SimdKernel kernel);

  // Audio thread: takes the next n frames of every playing voice of the first count
  // (in order; at most maxVoices), from where the frames planned so far end, and
  // advances the voices as Voice::process does. The frames planned between two mixes
  // are at most maxFrames (frames past them are not planned), in at most maxSlices calls.
  void plan(Voice* const* voices, int count, int n) noexcept;
  // Audio thread: adds the frames planned since the last mix into out[0 ..
  // plannedFrames()), and starts over.
  void mix(double* out) noexcept;
  // Audio thread: forgets what was planned and not mixed.
  void discard() noexcept;
  int plannedFrames() const { return plannedFrames_; }

  SimdKernel kernel() const { return kernel_; }

 private:
  // Joins `run` to voice v's last run when it goes on from it unchanged, else adds it.
  void addRun(int v, const VoiceRun& run) noexcept;

  // Voice v's run r. Every voice's latest run lies beside the others', which plan reads
  // at every tick: rows of maxSlices runs per voice made 64 voices about 2 % slower.
  size_t runIndex(int r, int v) const {
    return static_cast<size_t>(r) * static_cast<size_t>(maxVoices_) + static_cast<size_t>(v);
  }

  std::unique_ptr<VoiceRun[]> runs_;     // maxSlices per voice
  std::unique_ptr<int[]> runCount_;      // per voice
  std::unique_ptr<VoiceRun[]> ordered_;  // the runs in voice order, for the kernel
  std::unique_ptr<Voice*[]> moving_;     // the playing voices whose envelopes move
  std::unique_ptr<double*[]> movingLevels_;
  std::unique_ptr<double[]> levels_;  // maxVoices x maxFrames
  std::unique_ptr<double[]> ones_;    // the levels of a voice held at full level
  int maxVoices_ = 0;
  int maxFrames_ = 0;
  int maxSlices_ = 0;
  int plannedFrames_ = 0;
  int plannedVoices_ = 0;  // the voices that may have runs: the largest count planned
  SimdKernel kernel_ = SimdKernel::kScalar;
  void (*mix_)(const VoiceRun*, int, double*) noexcept = mixVoicesScalar;
};
