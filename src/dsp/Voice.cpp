#include "dsp/Voice.h"

#include <cmath>

#include "dsp/PhaseIncrementTable.h"
#include "dsp/Wavetables.h"

namespace {

constexpr int kTableShift = PhaseIncrementTable::kPhaseBits - wavetables::kLengthBits;

// Pitch in pitch units to a table index, clamped to 0..17280 before any integer cast.
int clampedPitchIndex(double pitch) {
  if (!(pitch > 0.0)) return 0;  // also catches NaN
  if (pitch >= PhaseIncrementTable::kMaxIndex) return PhaseIncrementTable::kMaxIndex;
  return static_cast<int>(pitch);
}

// The table with the most harmonics that stays below Nyquist: one table per
// factor sqrt(2) of table steps per sample.
int tableForIncrement(uint32_t increment) {
  const uint32_t stepsPerSample = increment >> kTableShift;
  if (stepsPerSample < 2) return 0;
  double s = stepsPerSample;
  int index = 0;
  while (s > 1.0 && index < wavetables::kCount - 1) {
    s *= 0.7071067811865476;
    ++index;
  }
  return index;
}

}  // namespace

void Voice::setSampleRate(const PhaseIncrementTable& table) {
  wavetables::ensureBuilt();
  phaseTable_ = &table;
  sampleRate_ = table.sampleRate();
  tune_ = 0;
  octave_ = 0;
  phaseIncrement_ = 0;
  phase_ = 0;
  pitchIndex_ = -1;
}

// Envelope time constant: the level covers 0..1 in about 10^(4.5 q - 2.3) s, so
// coefficient = ln(10) / fs x 10^(2.3 - 4.5 q) per sample.
double Voice::coefficientFor(double time) const {
  if (sampleRate_ <= 0.0) return 0.0;
  return std::log(10.0) / sampleRate_ * std::pow(10.0, 2.3 - 4.5 * time);
}

void Voice::release() {
  envelopeTarget_ = envDecayX;
  envelopeCoefficient_ = coefficientFor(release_);
}

void Voice::update(double pitchOffset) {
  if (phaseTable_ == nullptr) return;
  const double vibrato = vibratoSource_ != nullptr ? *vibratoSource_ : 0.0;
  const int index = clampedPitchIndex(octave_ + std::floor(pitch_) + tune_ +
                                      vibratoDepth_ * vibrato + pitchOffset);
  if (index != pitchIndex_) {
    pitchIndex_ = index;
    phaseIncrement_ = phaseTable_->at(index);
    wavetableIndex_ = tableForIncrement(phaseIncrement_);
    wavetable_ = wavetables::saw(wavetableIndex_);
  }
  envelopeCoefficient_ = coefficientFor(gate_ ? attack_ : release_);
}

void Voice::process(double* out, int n) {
  if (!active_ || wavetable_ == nullptr) return;
  for (int i = 0; i < n; ++i) {
    const double v = wavetable_[phase_ >> kTableShift];
    previousEnvelope_ = envelope_;
    const double e =
        previousEnvelope_ + (envelopeTarget_ - previousEnvelope_) * envelopeCoefficient_;
    envelope_ = e < 0.0 ? 0.0 : (e > 1.0 ? 1.0 : e);
    out[i] += v * envelope_ * amplitude_;
    phase_ = (phase_ + phaseIncrement_) & PhaseIncrementTable::kPhaseMask;
  }
  active_ = envelope_ > 0.0;
}

void Voice::setNoteOn(int note, int velocity, uint32_t sequence, const double* vibratoSource) {
  pitch_ = note * 128.0;
  active_ = true;
  gate_ = true;
  note_ = note;
  sequence_ = sequence;
  vibratoSource_ = vibratoSource;
  amplitude_ = (velocity / 127.0 - 1.0) * velocitySensitivity_ + 1.0;
  envelopeTarget_ = kEnvAttackTarget;
  envelopeCoefficient_ = coefficientFor(attack_);
}

void Voice::setNoteOff() {
  gate_ = false;
  if (!sustained_) release();
}

void Voice::setSustain(bool on) {
  sustained_ = on;
  if (!on && !gate_) release();
}

void Voice::setParam(int id, double value) {
  switch (id) {
    case kTune:
      tune_ = std::isfinite(value)
                  ? static_cast<int>(std::round(std::fmin(std::fmax(value, -1e6), 1e6)))
                  : 0;
      break;
    case kVelocity: velocitySensitivity_ = value; break;
    case kOctaveUp: octave_ = value < 0.5 ? 0 : kOctaveUnits; break;
    case kVibratoDepth: vibratoDepth_ = value * kVibratoRange; break;
    case kAttack: attack_ = value; break;
    case kRelease: release_ = value; break;
    default: break;
  }
}
