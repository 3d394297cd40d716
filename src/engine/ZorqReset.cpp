// Reset: sizes the working buffers and the sub-block for the sample rate and clears
// every unit's state.
#include "engine/ZORQ.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
constexpr double kControlRate = 1000.0;  // control ticks per second
constexpr double kAccentLowpassHz = 10.0;
constexpr double kAccentHighpassHz = 2.0;
// Vibrato LFO phases at reset.
constexpr double kVibratoPhase[3] = {0.0, 0.666 * M_PI, 1.332 * M_PI};
// Ensemble rates (Hz) at reset: {rate 1, rate 2} for left and right.
constexpr double kEnsembleRates[2][2] = {{0.65, 5.7}, {0.55, 6.3}};
}  // namespace

void ZORQ::Reset() {
  IMutexLock lock(Mutex());
  Synth::Reset();
  // Parameter changes still waiting for a tick are not lost: the grid restarts.
  applyParamChanges(INT_MAX);
  paramChanges_.advance(0);

  const double sampleRate = GetSampleRate();
  // One millisecond of samples; at least one so the block loop always advances.
  const double truncated = std::floor(sampleRate);
  uint32_t length = truncated >= 1000.0 && truncated < 4294967296.0
                        ? static_cast<uint32_t>(truncated) / 1000u
                        : 1u;
  // Absurd rates are capped so the working buffers stay a sane size.
  length = std::min<uint32_t>(std::max<uint32_t>(length, 1u), 1u << 20);
  subBlockLength_ = length;
  remainder_ = 0;
  wake();
  pendingSliceCount_ = 0;
  pendingFrames_ = 0;
  if (length != allocatedLength_) {
    allocatedLength_ = length;
    reciprocal_ = 1.0 / length;
    cleanup();
    for (int c = 0; c < 2; ++c) {
      modulator_[c].reset(new double[runCapacity()]());
      carrier_[c].reset(new double[runCapacity()]());
      noise_[c].reset(new double[runCapacity()]());
      vocoderOut_[c].reset(new double[runCapacity()]());
    }
  }

  // The instruction set the band bank, the voices and the ensemble run with.
  const SimdKernel kernel = simd::fromEnvironment();
  kernel_ = kernel;

  // Phase steps for this rate, built before any voice can play at it.
  phaseIncrements_.build(sampleRate);
  for (Voice& voice : voices_) voice.setSampleRate(phaseIncrements_);
  voiceMixer_.prepare(kNumVoices, static_cast<int>(runCapacity()), kMaxPendingSlices, kernel);
  noteCounter_ = 0;
  sustain_ = false;

  // Every band back at its default frequency (the parameter defaults) and level.
  bank_.prepare(sampleRate, static_cast<int>(runCapacity()), kernel);
  bank_.reset();
  accentLowpass_.init(kControlRate, kAccentLowpassHz);
  accentHighpass_.init(kControlRate, kAccentHighpassHz);
  for (int i = 0; i < kNumVibratoLFOs; ++i) vibratoLFOs_[i].setPhase(kVibratoPhase[i]);
  for (int c = 0; c < 2; ++c) {
    ensembles_[c].rate1 = kEnsembleRates[c][0];
    ensembles_[c].rate2 = kEnsembleRates[c][1];
    ensembles_[c].setSampleRate(sampleRate);
  }

  pitchWheel_ = 0.0;
  modulatorLevelSum_ = 0.0;
  meterAccumulator_ = 0.0;
  refreshInputConnections();
  sampler_.init(sampleRate, subBlockLength_);
}

// Voices go back to their state at construction (Reset keeps notes sounding, as a
// host's suspend and resume expect); their settings come back with the parameters.
void ZORQ::ResetToSilence() {
  IMutexLock lock(Mutex());
  for (Voice& voice : voices_) voice = Voice();
  midiQueue_.Clear();
  Reset();
  OnParamReset();
}
