// The parameter-change handler: turns each parameter's value into the engine's
// working values (levels, switches, rates and band settings).
#include "engine/ZORQ.h"

#include <cmath>

namespace {
constexpr double kPitchUnitsPerSemitone = 128.0;
// Vibrato LFO rates relative to "Vibrato Speed".
constexpr double kVibratoRateScale[3] = {1.0, 0.99, 1.01};
}  // namespace

void ZORQ::OnParamChange(int paramIdx) {
  IMutexLock lock(Mutex());
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  Synth::OnParamChange(paramIdx);
  wake();  // the engine looks again at whether it can sleep

  const double v = GetParam(paramIdx)->Value();
  const bool on = v >= 0.5;

  // Band parameters: four blocks of 20, one per kind; both channels share them.
  if (paramIdx >= kAnalysisFreq1 && paramIdx < kBias) {
    const int band = (paramIdx - kAnalysisFreq1) % kNumBands;
    switch ((paramIdx - kAnalysisFreq1) / kNumBands) {
      case 0: bank_.setAnalysisFrequency(band, v); break;
      case 1: bank_.setSynthesisFrequency(band, v); break;
      case 2: bank_.setSynthesisLevel(band, v); break;
      default: bank_.setFixed(band, on); break;
    }
    return;
  }

  switch (paramIdx) {
    case kVocoderMode: vocoderMode_ = static_cast<int>(v); break;
    case kKeyboard: keyboardOn_ = on; break;
    case kInputMode: inputFromFile_ = on; break;
    case kSampleLegato: sampleLegato_ = on; break;
    case kFinalVolume: finalVolume_ = v; break;
    case kOutBalance:
      micMix_ = v;
      vocoderMix_ = 1.0 - v;
      break;
    case kInBalance:
      keyboardLevel_ = 1.0 - v;
      noiseLevel_ = v;
      break;
    case kExtLevel: externalLevel_ = v; break;
    case kMicLevel: micLevel_ = v; break;
    case kAccentBend: accentAmount_ = v * 256.0; break;
    case kPitchBend: pitchBendRange_ = v * kPitchUnitsPerSemitone; break;
    case kEnsemble:
      // Switched on between ticks: the delays glide as the last tick's update set them.
      if (on && !ensembleOn_)
        for (Ensemble& ensemble : ensembles_) ensemble.catchUp();
      ensembleOn_ = on;
      break;
    case kAttack:
    case kRelease:
      // The sample player shares the envelope times with the voices.
      if (paramIdx == kAttack)
        sampler_.setAttack(v);
      else
        sampler_.setRelease(v);
      [[fallthrough]];
    case kTune:
    case kVelocity:
    case kOctaveUp:
    case kVibratoDepth:
      for (Voice& voice : voices_) voice.setParam(paramIdx, v);
      break;
    case kVibratoSpeed:
      for (int i = 0; i < kNumVibratoLFOs; ++i) vibratoLFOs_[i].setRate(v * kVibratoRateScale[i]);
      break;
    case kEnsembleLeftRate1:
    case kEnsembleRightRate1:
    case kEnsembleLeftRate2:
    case kEnsembleRightRate2: {
      const bool left = paramIdx == kEnsembleLeftRate1 || paramIdx == kEnsembleLeftRate2;
      const bool first = paramIdx == kEnsembleLeftRate1 || paramIdx == kEnsembleRightRate1;
      Ensemble& ensemble = ensembles_[left ? 0 : 1];
      (first ? ensemble.rate1 : ensemble.rate2) = v;
      (first ? ensemble.lfo1 : ensemble.lfo2).setRate(v);
      break;
    }
    case kMeterMode: meterShowsSignal_ = v < 0.5; break;
    case kBias: bias_ = 2.0 * v; break;
    case kLimit: limit_ = 10.0 - 9.0 * std::sqrt(v); break;
    case kSpeed:
      // Scales every follower corner by 0.25 ("Speed" -1) .. 4 (+1). The followers
      // are retuned with their history kept, so turning the knob never drops the
      // band levels to silence.
      bank_.setFollowerSpeed(std::pow(2.0, 2.0 * v));
      break;
    default: break;
  }
}

void ZORQ::ScheduleParamChange(int paramIdx, double value, int offset) {
  IMutexLock lock(Mutex());
  if (!paramChanges_.add(offset, paramIdx, value)) SetParameterValueFromHost(paramIdx, value);
}

void ZORQ::applyParamChanges(int limit) {
  paramChanges_.takeDue(
      limit, [this](int paramIdx, double value) { SetParameterValueFromHost(paramIdx, value); });
}
