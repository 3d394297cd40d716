// The control tick, once per sub-block: vibrato, pitch wheel and accent bend reach the
// voices.
#include "engine/ZORQ.h"

#include <cmath>

void ZORQ::update() {
  if (keyboardOn_) {
    for (LFO& lfo : vibratoLFOs_) lfo.update();
    double pitch = pitchBendRange_ * pitchWheel_;
    if (accentBends()) {
      double level = modulatorLevelSum_ * reciprocal_;
      if (modulatorActive_[0] && modulatorActive_[1]) level *= 0.5;
      pitch -= accentAmount_ * accentHighpass_.process(accentLowpass_.process(level));
      // A non-finite level (bad input in the last slice) bends nothing and is forgotten.
      accentLowpass_.clearIfNotFinite();
      accentHighpass_.clearIfNotFinite();
      if (!std::isfinite(pitch)) pitch = pitchBendRange_ * pitchWheel_;
    }
    for (Voice& voice : voices_)
      if (voice.isActive()) voice.update(pitch);
  }
  // The ensembles step and the meter decays when their slice runs (ZorqBlockLoop.h).
}

void ZORQ::tickMeter() {
  decayMeter();
  if (!std::isfinite(meterAccumulator_)) meterAccumulator_ = 0.0;  // an infinite input would pin it
}

void ZORQ::advanceEnsembles() {
  for (Ensemble& ensemble : ensembles_) {
    if (ensembleOn_)
      ensemble.update();
    else
      ensemble.coast();
  }
}

void ZORQ::decayMeter() { meterAccumulator_ -= meterAccumulator_ * reciprocal_; }
