// Construction, the parameter-change handler, the control tick and the reset.
#include "engine/ZORQ.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kControlRate = 1000.0;  // control ticks per second
constexpr double kAccentLowpassHz = 10.0;
constexpr double kAccentHighpassHz = 2.0;
constexpr double kPitchUnitsPerSemitone = 128.0;
// Vibrato LFO rates relative to "Vibrato Speed", and their phases at reset.
constexpr double kVibratoRateScale[3] = {1.0, 0.99, 1.01};
constexpr double kVibratoPhase[3] = {0.0, 0.666 * M_PI, 1.332 * M_PI};
// Ensemble rates (Hz) at reset: {rate 1, rate 2} for left and right.
constexpr double kEnsembleRates[2][2] = {{0.65, 5.7}, {0.55, 6.3}};
}  // namespace

ZORQ::ZORQ(VstHostCallback hostCallback) : Synth(hostCallback) {
  for (int v = 0; v < kNumVoices; ++v) voiceList_[v] = &voices_[v];
  initParameters();
  // The plug-in's entry point attaches the editor (src/editor) after construction;
  // tests and tools construct the instrument without one.
  if (!LoadBankFromFXB(configuration().startupFxb())) {
    configuration().clearStartupFxb();
    initAllPrograms();
  }
}

void ZORQ::initPreset() {
  Synth::initPreset();
  sampleFileName_.clear();
}

// The editor's window closes while the whole instrument still exists: a file prompt
// still open ends as cancelled, and its completion may reach the instrument.
ZORQ::~ZORQ() {
  if (IPlugGUI* gui = GetGUI()) gui->CloseWindow();
  cleanup();
}

void ZORQ::cleanup() {
  for (int c = 0; c < 2; ++c) {
    modulator_[c].reset();
    carrier_[c].reset();
    noise_[c].reset();
    vocoderOut_[c].reset();
  }
}

void ZORQ::OnParamChange(int paramIdx) {
  IMutexLock lock(Mutex());
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  Synth::OnParamChange(paramIdx);

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
    case kEnsemble: ensembleOn_ = on; break;
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
    case kEnsembleRightRate1: {
      Ensemble& ensemble = ensembles_[paramIdx == kEnsembleLeftRate1 ? 0 : 1];
      ensemble.rate1 = v;
      ensemble.lfo1.setRate(v);
      break;
    }
    case kEnsembleLeftRate2:
    case kEnsembleRightRate2: {
      Ensemble& ensemble = ensembles_[paramIdx == kEnsembleLeftRate2 ? 0 : 1];
      ensemble.rate2 = v;
      ensemble.lfo2.setRate(v);
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

void ZORQ::update() {
  if (keyboardOn_) {
    for (LFO& lfo : vibratoLFOs_) lfo.update();
    double pitch = pitchBendRange_ * pitchWheel_;
    if (accentAmount_ > 0.0) {
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
  ensembles_[0].update();
  ensembles_[1].update();
  meterAccumulator_ -= meterAccumulator_ * reciprocal_;
  if (!std::isfinite(meterAccumulator_)) meterAccumulator_ = 0.0;  // an infinite input would pin it
}

void ZORQ::Reset() {
  IMutexLock lock(Mutex());
  Synth::Reset();

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
  if (length != allocatedLength_) {
    allocatedLength_ = length;
    reciprocal_ = 1.0 / length;
    cleanup();
    for (int c = 0; c < 2; ++c) {
      modulator_[c].reset(new double[length]());
      carrier_[c].reset(new double[length]());
      noise_[c].reset(new double[length]());
      vocoderOut_[c].reset(new double[length]());
    }
  }

  // Phase steps for this rate, built before any voice can play at it.
  phaseIncrements_.build(sampleRate);
  for (Voice& voice : voices_) voice.setSampleRate(phaseIncrements_);
  noteCounter_ = 0;
  sustain_ = false;

  // Every band back at its default frequency (the parameter defaults) and level.
  bank_.prepare(sampleRate, static_cast<int>(subBlockLength_), BandBank::fromEnvironment());
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
