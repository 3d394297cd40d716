// Construction, the parameter-change handler, the control tick and the reset.
#include "engine/ZORQ.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kControlRate = 1000.0;  // control ticks per second
constexpr double kAccentLowpassHz = 10.0;
constexpr double kAccentHighpassHz = 2.0;
constexpr double kPitchUnitsPerSemitone = 128.0;
}  // namespace

ZORQ::ZORQ() {
  initParameters();
  // The editor, the startup bank and the built-in programs are set up here once
  // they exist.
}

ZORQ::~ZORQ() { cleanup(); }

void ZORQ::cleanup() {
  for (int c = 0; c < 2; ++c) {
    modulator_[c].reset();
    bandScratch_[c].reset();
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
  const double sampleRate = GetSampleRate();

  if (paramIdx >= kAnalysisFreq1 && paramIdx < kAnalysisFreq1 + kNumBands) {
    const int band = paramIdx - kAnalysisFreq1;
    analysis_[0][band].setFrequency(v);
    analysis_[1][band].setFrequency(v);
    return;
  }
  if (paramIdx >= kSynthesisFreq1 && paramIdx < kSynthesisFreq1 + kNumBands) {
    const int band = paramIdx - kSynthesisFreq1;
    synthesis_[0][band].setFrequency(v);
    synthesis_[1][band].setFrequency(v);
    return;
  }
  if (paramIdx >= kSynthesisLevel1 && paramIdx < kSynthesisLevel1 + kNumBands) {
    const int band = paramIdx - kSynthesisLevel1;
    synthesis_[0][band].setLevel(v);
    synthesis_[1][band].setLevel(v);
    return;
  }
  if (paramIdx >= kSynthesisFixed1 && paramIdx < kSynthesisFixed1 + kNumBands) {
    fixed_[paramIdx - kSynthesisFixed1] = on;
    return;
  }

  // The sample player's envelope times (the voices take them too).
  if (paramIdx == kAttack) sampler_.setAttack(v);
  if (paramIdx == kRelease) sampler_.setRelease(v);

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
    case kMeterMode: meterShowsSignal_ = v < 0.5; break;
    case kBias: bias_ = 2.0 * v; break;
    case kLimit: limit_ = 10.0 - 9.0 * std::sqrt(v); break;
    case kSpeed: {
      // Scales every follower corner by 0.25 ("Speed" -1) .. 4 (+1).
      const double scale = std::pow(2.0, 2.0 * v);
      for (int band = 0; band < kNumBands; ++band) {
        followers_[0][band].init(sampleRate, LAG[band] * scale);
        followers_[1][band].init(sampleRate, LAG[band] * scale);
      }
      break;
    }
    default:
      // Voice settings (tune, velocity, octave, vibrato), the sample player's
      // attack and release and the ensemble rates reach their units here.
      break;
  }
}

void ZORQ::update() {
  if (keyboardOn_) {
    double pitch = pitchBendRange_ * pitchWheel_;
    if (accentAmount_ > 0.0) {
      double level = modulatorLevelSum_ * reciprocal_;
      if (modulatorActive_[0] && modulatorActive_[1]) level *= 0.5;
      pitch -= accentAmount_ * accentHighpass_.process(accentLowpass_.process(level));
    }
    pitchOffset_ = pitch;
  }
  meterAccumulator_ -= meterAccumulator_ * reciprocal_;
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
      bandScratch_[c].reset(new double[length]());
      carrier_[c].reset(new double[length]());
      noise_[c].reset(new double[length]());
      vocoderOut_[c].reset(new double[length]());
    }
  }

  noteCounter_ = 0;
  sustain_ = false;

  for (int band = 0; band < kNumBands; ++band) {
    const double analysisHz = GetParam(kAnalysisFreq1 + band)->GetDefault();
    const double synthesisHz = GetParam(kSynthesisFreq1 + band)->GetDefault();
    for (int c = 0; c < 2; ++c) {
      analysis_[c][band].init(sampleRate, analysisHz);
      synthesis_[c][band].init(sampleRate, synthesisHz);
      followers_[c][band].init(sampleRate, LAG[band]);
    }
  }
  accentLowpass_.init(kControlRate, kAccentLowpassHz);
  accentHighpass_.init(kControlRate, kAccentHighpassHz);

  pitchWheel_ = 0.0;
  pitchOffset_ = 0.0;
  modulatorLevelSum_ = 0.0;
  meterAccumulator_ = 0.0;
  refreshInputConnections();
  sampleLoading_ = false;
  sampler_.init(sampleRate, subBlockLength_);
}
