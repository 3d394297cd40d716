#pragma once

// The block loop, ZORQ::ProcessDoubleReplacing, as a template over its stage marks
// (EngineStage.h): the plug-in runs it without marks (ZorqProcess.cpp), the benchmarks'
// stage table with a clock.
//
// Each awake slice loads its modulator at once, at the end of what the working buffers
// already hold, and plans its voices; the carriers, the meter, the band bank, the output
// mix, the ensemble and the sleep check of those slices run later, together, as one run
// (runPendingSlices). The band bank and each voice cost a good deal per call, and a run
// spans several control ticks, up to the whole host block. A run ends before a tick that
// could change what the bank or the output mix does (a parameter change or a MIDI event
// due), after the slice whose level sum the next tick reads (the accent bend), after the
// slice that could put the engine to sleep, and at the end of the block; so every sample
// is what slice-by-slice processing gives.

#include <algorithm>
#include <cassert>
#include <climits>

#include "engine/ZORQ.h"

template <class Stages>
void ZORQ::processBlock(double** inputs, double** outputs, int nFrames, Stages& stages) {
  if (nFrames < 1) return;
  // No reset has sized the buffers yet: the grid stays where it is and the host
  // gets silence rather than stale buffers.
  if (allocatedLength_ == 0) {
    applyParamChanges(INT_MAX);
    for (int c = 0; c < kNumOutputs; ++c) std::fill(outputs[c], outputs[c] + nFrames, 0.0);
    return;
  }
  // A host's parameter change takes effect at the control tick whose window holds its
  // offset; one due in a window that began in an earlier block, at once.
  applyParamChanges(static_cast<int>(remainder_));
  refreshInputConnections();
  refreshModulatorActive();

  double* in[kNumInputs];
  std::copy(inputs, inputs + kNumInputs, in);
  double* outL = outputs[0];
  double* outR = outputs[1];
  stages.mark(EngineStage::kBlock);

  int framesLeft = nFrames;
  while (framesLeft > 0) {
    int n;
    bool tick = false, awakeTick = false;  // the slice begins with a tick, an awake one
    if (remainder_ != 0) {
      n = std::min(static_cast<int>(remainder_), framesLeft);
      remainder_ -= static_cast<uint32_t>(n);
    } else {
      const int64_t windowEnd = int64_t(nFrames - framesLeft) + subBlockLength_;
      const int limit = static_cast<int>(std::min<int64_t>(windowEnd, INT_MAX));
      const bool midi = midiDueAtTick();
      if (midi || paramChanges_.dueBefore(limit)) runPendingSlices(stages);
      applyParamChanges(limit);
      refreshModulatorActive();
      handleMidiEvents();
      // A note wakes a sleeping engine from the tick that plays it.
      if (asleep_ && midi && !atRestButForInput()) wake();
      if (asleep_) {
        sleepingTick();
      } else {
        update();
        awakeTick = true;
      }
      tick = true;
      ++controlTicks_;
      if (static_cast<int>(subBlockLength_) > framesLeft) {
        n = framesLeft;
        remainder_ = subBlockLength_ - static_cast<uint32_t>(n);
      } else {
        n = static_cast<int>(subBlockLength_);
      }
      stages.mark(EngineStage::kControlTick);
    }

    assert(n > 0 && static_cast<uint32_t>(n) <= allocatedLength_);
    // Asleep up to the first frame of sound (all of the slice when there is none). A
    // sleeping engine has no slices pending.
    int asleepFrames = 0;
    if (asleep_) {
      asleepFrames = firstSoundingFrame(in, n);
      rest(outL, outR, asleepFrames);
      if (asleepFrames < n) wake();
      stages.mark(EngineStage::kAsleep);
    }
    if (const int m = n - asleepFrames; m > 0) {
      double* slice[kNumInputs];
      for (int c = 0; c < kNumInputs; ++c)
        slice[c] = in[c] + (inputConnected_[c] ? asleepFrames : 0);
      if (pendingSliceCount_ == 0) {
        pendingOut_[0] = outL + asleepFrames;
        pendingOut_[1] = outR + asleepFrames;
        pendingExternal_[0] = slice[2];
        pendingExternal_[1] = slice[3];
      }
      loadModulator(slice, pendingFrames_, m);
      stages.mark(EngineStage::kModulator);
      planKeyboard(m);
      stages.mark(EngineStage::kVoices);
      // What the sleep check needs of the slice's own time (the inputs first: while they
      // sound, that is the quicker answer).
      const bool quietInput = firstSoundingFrame(slice, m) == m && atRestButForInput();
      pendingSlices_[pendingSliceCount_++] = PendingSlice{m, tick, awakeTick, quietInput};
      pendingFrames_ += m;
      stages.mark(EngineStage::kAsleep);
      if (runEndsAfterThisSlice()) runPendingSlices(stages);
    }
    for (int c = 0; c < kNumInputs; ++c)
      if (inputConnected_[c]) in[c] += n;

    outL += n;
    outR += n;
    framesLeft -= n;
  }
  runPendingSlices(stages);
  paramChanges_.advance(nFrames);
  stages.mark(EngineStage::kBlock);
}

template <class Stages>
void ZORQ::runPendingSlices(Stages& stages) {
  if (pendingSliceCount_ == 0) return;
  const int n = pendingFrames_;
  bool carriersHold = loadKeyboard(n);
  stages.mark(EngineStage::kVoices);
  carriersHold = loadNoise(n, carriersHold);
  stages.mark(EngineStage::kNoise);
  loadExternal(n, carriersHold);
  stages.mark(EngineStage::kExternal);
  // The level sum the accent bend reads restarts at the last tick.
  int sumFrom = n;
  for (int s = 0, at = 0; s < pendingSliceCount_; at += pendingSlices_[s++].frames) {
    const PendingSlice& slice = pendingSlices_[s];
    if (slice.awakeTick) tickMeter();
    measureLevel(at, slice.frames);
    if (slice.tick) sumFrom = at;
  }
  stages.mark(EngineStage::kMeter);
  vocode(n, sumFrom);
  stages.mark(EngineStage::kBandBank);
  double* outL = pendingOut_[0];
  double* outR = pendingOut_[1];
  mixOutputs(outL, outR, n);
  stages.mark(EngineStage::kOutput);
  for (int s = 0; s < pendingSliceCount_; ++s) {
    const PendingSlice& slice = pendingSlices_[s];
    // The ensembles' sweeps step at their slice's tick, as the slices run.
    if (slice.awakeTick) advanceEnsembles();
    if (ensembleOn_)
      Ensemble::processPair(ensembles_[0], ensembles_[1], outL, outR, slice.frames, kernel_);
    stages.mark(EngineStage::kEnsemble);
    noteQuiet(slice.quietInput, outL, outR, slice.frames);
    stages.mark(EngineStage::kAsleep);
    outL += slice.frames;
    outR += slice.frames;
  }
  pendingSliceCount_ = 0;
  pendingFrames_ = 0;
}
