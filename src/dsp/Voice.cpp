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

void Voice::process(double* out, int n) noexcept {
  Voice* self = this;
  processAll(&self, 1, out, n);
}

bool Voice::isHeldAtFullLevel() const {
  return envelope_ == 1.0 && envelopeTarget_ == kEnvAttackTarget && envelopeCoefficient_ >= 0.0;
}

// K voices side by side: their envelope recursions overlap in the processor, and each
// output sample still receives the voices' terms one after the other. A held voice
// at full level stays there exactly (each step gives 1 again), so kHeld groups skip
// the envelope: sample x 1 x amplitude is sample x amplitude.
template <int K, bool kHeld>
void Voice::runGroup(Voice* const* voices, double* out, int n) noexcept {
  const double* table[K];
  uint32_t phase[K], increment[K];
  double level[K], previous[K], target[K], coefficient[K], amplitude[K];
  for (int k = 0; k < K; ++k) {
    const Voice& v = *voices[k];
    table[k] = v.wavetable_;
    phase[k] = v.phase_;
    increment[k] = v.phaseIncrement_;
    level[k] = v.envelope_;
    previous[k] = kHeld && n > 0 ? 1.0 : v.previousEnvelope_;
    target[k] = v.envelopeTarget_;
    coefficient[k] = v.envelopeCoefficient_;
    amplitude[k] = v.amplitude_;
  }
  for (int i = 0; i < n; ++i) {
    double sum = out[i];
    for (int k = 0; k < K; ++k) {
      assert((phase[k] >> kTableShift) < static_cast<uint32_t>(wavetables::kLength));
      const double sample = table[k][phase[k] >> kTableShift];
      if (kHeld) {
        sum += sample * amplitude[k];
      } else {
        previous[k] = level[k];
        level[k] = envelope::step(level[k], target[k], coefficient[k]);
        sum += sample * level[k] * amplitude[k];
      }
      phase[k] = (phase[k] + increment[k]) & PhaseIncrementTable::kPhaseMask;
    }
    out[i] = sum;
  }
  for (int k = 0; k < K; ++k) {
    Voice& v = *voices[k];
    v.phase_ = phase[k];
    v.envelope_ = level[k];
    v.previousEnvelope_ = previous[k];
    v.active_ = level[k] > 0.0;
  }
}

// Consecutive playing voices go in groups of up to four of one kind (held at full
// level, or moving), in voice order.
void Voice::processAll(Voice* const* voices, int count, double* out, int n) noexcept {
  constexpr int kGroup = 4;
  Voice* group[kGroup];
  int size = 0;
  bool groupHeld = false;
  auto flush = [&] {
    if (groupHeld) {
      switch (size) {
        case 4: runGroup<4, true>(group, out, n); break;
        case 3: runGroup<3, true>(group, out, n); break;
        case 2: runGroup<2, true>(group, out, n); break;
        case 1: runGroup<1, true>(group, out, n); break;
        default: break;
      }
    } else {
      switch (size) {
        case 4: runGroup<4, false>(group, out, n); break;
        case 3: runGroup<3, false>(group, out, n); break;
        case 2: runGroup<2, false>(group, out, n); break;
        case 1: runGroup<1, false>(group, out, n); break;
        default: break;
      }
    }
    size = 0;
  };
  for (int v = 0; v < count; ++v) {
    Voice* voice = voices[v];
    if (!voice->active_ || voice->wavetable_ == nullptr) continue;
    const bool held = voice->isHeldAtFullLevel();
    if (size > 0 && held != groupHeld) flush();
    groupHeld = held;
    group[size++] = voice;
    if (size == kGroup) flush();
  }
  flush();
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
