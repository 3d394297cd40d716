#pragma once

// The block loop, ZORQ::ProcessDoubleReplacing, as a template over its stage marks
// (EngineStage.h): the plug-in runs it without marks (ZorqProcess.cpp), the benchmarks'
// stage table with a clock.

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
  // A host's parameter change takes effect at the control tick whose window holds
  // its offset; one due in a window that began in an earlier block, at once.
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
    if (remainder_ != 0) {
      n = std::min(static_cast<int>(remainder_), framesLeft);
      remainder_ -= static_cast<uint32_t>(n);
    } else {
      const int64_t windowEnd = int64_t(nFrames - framesLeft) + subBlockLength_;
      applyParamChanges(static_cast<int>(std::min<int64_t>(windowEnd, INT_MAX)));
      refreshModulatorActive();
      const bool midi = !midiQueue_.Empty();
      handleMidiEvents();
      // A note wakes a sleeping engine from the tick that plays it.
      if (asleep_ && midi && !atRestButForInput()) wake();
      if (asleep_)
        sleepingTick();
      else
        update();
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
    // Asleep up to the first frame of sound (all of the slice when there is none).
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
      double* sliceL = outL + asleepFrames;
      double* sliceR = outR + asleepFrames;
      loadModulator(slice, m);
      stages.mark(EngineStage::kModulator);
      loadKeyboard(m);
      stages.mark(EngineStage::kVoices);
      loadNoise(m);
      stages.mark(EngineStage::kNoise);
      loadExternal(slice, m);
      stages.mark(EngineStage::kExternal);
      measureLevel(slice, m);
      stages.mark(EngineStage::kMeter);
      vocode(m);
      stages.mark(EngineStage::kBandBank);
      mixOutputs(sliceL, sliceR, m);
      stages.mark(EngineStage::kOutput);
      if (ensembleOn_)
        Ensemble::processPair(ensembles_[0], ensembles_[1], sliceL, sliceR, m, kernel_);
      stages.mark(EngineStage::kEnsemble);
      noteQuiet(slice, sliceL, sliceR, m);
      stages.mark(EngineStage::kAsleep);
    }
    for (int c = 0; c < kNumInputs; ++c)
      if (inputConnected_[c]) in[c] += n;

    outL += n;
    outR += n;
    framesLeft -= n;
  }
  paramChanges_.advance(nFrames);
  stages.mark(EngineStage::kBlock);
}
