#include "dsp/Voice.h"

#include <cassert>
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
constexpr int tableForSteps(uint32_t stepsPerSample) {
  if (stepsPerSample < 2) return 0;
  double s = stepsPerSample;
  int index = 0;
  while (s > 1.0 && index < wavetables::kCount - 1) {
    s *= 0.7071067811865476;
    ++index;
  }
  return index;
}

// tableForSteps for every whole number of steps a phase increment can make, worked out
// when compiling: a voice looks its table up at every control tick its pitch moves.
struct TableForSteps {
  static constexpr uint32_t kSteps = 1u << (PhaseIncrementTable::kPhaseBits - kTableShift);
  uint8_t index[kSteps] = {};
  constexpr TableForSteps() {
    for (uint32_t steps = 0; steps < kSteps; ++steps)
      index[steps] = static_cast<uint8_t>(tableForSteps(steps));
  }
};
constexpr TableForSteps kTableForSteps;

int tableForIncrement(uint32_t increment) {
  return kTableForSteps.index[(increment & PhaseIncrementTable::kPhaseMask) >> kTableShift];
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
  updateCoefficients();
}

void Voice::updateCoefficients() {
  attackCoefficient_ = envelope::coefficient(sampleRate_, attack_);
  releaseCoefficient_ = envelope::coefficient(sampleRate_, release_);
}

void Voice::release() {
  envelopeTarget_ = envDecayX;
  envelopeCoefficient_ = releaseCoefficient_;
}

void Voice::update(double pitchOffset) noexcept {
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
  envelopeCoefficient_ = gate_ ? attackCoefficient_ : releaseCoefficient_;
}

template <int K>
void Voice::stepEnvelopeGroup(Voice* const* voices, double* const* levels, int n) noexcept {
  double level[K], previous[K], target[K], coefficient[K];
  for (int k = 0; k < K; ++k) {
    level[k] = voices[k]->envelope_;
    previous[k] = voices[k]->previousEnvelope_;
    target[k] = voices[k]->envelopeTarget_;
    coefficient[k] = voices[k]->envelopeCoefficient_;
  }
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < K; ++k) {
      previous[k] = level[k];
      level[k] = envelope::step(level[k], target[k], coefficient[k]);
      levels[k][i] = level[k];
    }
  }
  for (int k = 0; k < K; ++k) {
    voices[k]->envelope_ = level[k];
    voices[k]->previousEnvelope_ = previous[k];
  }
}

void Voice::stepEnvelopes(Voice* const* voices, double* const* levels, int count, int n) noexcept {
  int k = 0;
  for (; k + 4 <= count; k += 4) stepEnvelopeGroup<4>(voices + k, levels + k, n);
  switch (count - k) {
    case 3: stepEnvelopeGroup<3>(voices + k, levels + k, n); break;
    case 2: stepEnvelopeGroup<2>(voices + k, levels + k, n); break;
    case 1: stepEnvelopeGroup<1>(voices + k, levels + k, n); break;
    default: break;
  }
}

// The reference form of what VoiceMixer does for many voices. A voice held at full
// level stays there exactly (each step gives 1 again), so its samples are sample x
// amplitude.
void Voice::process(double* out, int n) noexcept {
  if (!isPlaying()) return;
  if (isHeldAtFullLevel()) {
    for (int i = 0; i < n; ++i) {
      out[i] += wavetable_[phase_ >> kTableShift] * amplitude_;
      phase_ = (phase_ + phaseIncrement_) & PhaseIncrementTable::kPhaseMask;
    }
    if (n > 0) previousEnvelope_ = 1.0;
  } else {
    for (int i = 0; i < n; ++i) {
      previousEnvelope_ = envelope_;
      envelope_ = envelope::step(envelope_, envelopeTarget_, envelopeCoefficient_);
      out[i] += wavetable_[phase_ >> kTableShift] * envelope_ * amplitude_;
      phase_ = (phase_ + phaseIncrement_) & PhaseIncrementTable::kPhaseMask;
    }
  }
  active_ = envelope_ > 0.0;
}

void Voice::setNoteOn(int note, int velocity, uint32_t sequence, const double* vibratoSource,
                      double pitch) {
  pitch_ = pitch;
  active_ = true;
  gate_ = true;
  note_ = note;
  sequence_ = sequence;
  vibratoSource_ = vibratoSource;
  amplitude_ = (velocity / 127.0 - 1.0) * velocitySensitivity_ + 1.0;
  envelopeTarget_ = kEnvAttackTarget;
  envelopeCoefficient_ = attackCoefficient_;
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
    case kAttack:
      attack_ = value;
      updateCoefficients();
      break;
    case kRelease:
      release_ = value;
      updateCoefficients();
      break;
    default: break;
  }
}
