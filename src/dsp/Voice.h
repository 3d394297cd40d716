#pragma once

// One keyboard carrier voice: a band-limited sawtooth read from the shared
// wavetables with a 28-bit phase accumulator, a one-pole attack/release envelope,
// velocity scaling, pitch offsets (tune, octave, bend) and vibrato from a shared LFO.
// Pitch is in 1/128 semitone units; pitch 128 n is MIDI note n.

#include <cstdint>

#include "dsp/EnvelopeLaw.h"
#include "dsp/ParamIndex.h"
#include "dsp/VoiceRun.h"

class PhaseIncrementTable;

class Voice {
 public:
  static constexpr double kEnvAttackTarget = envelope::kAttackTarget;
  static constexpr double envDecayX = envelope::kReleaseTarget;
  static constexpr int kOctaveUnits = 12 * 128;
  static constexpr double kVibratoRange = 7.0 * 128.0;  // pitch units at full depth

  Voice() = default;
  ~Voice() {}

  // Reset, plug-in mutex held: builds the shared wavetables if needed, binds the
  // engine's phase table and clears tune, octave and the oscillator state.
  void setSampleRate(const PhaseIncrementTable& table);
  // Control tick, active voices only: pitch (with pitchOffset in pitch units),
  // table choice and envelope coefficient.
  void update(double pitchOffset) noexcept;
  // Audio thread: adds n samples into out (VoiceMixer adds many voices at once).
  void process(double* out, int n) noexcept;
  // vibratoSource may be null (no vibrato). The note sounds at pitch (1/128 semitone
  // units; note x 128 unless a tuning says otherwise).
  void setNoteOn(int note, int velocity, uint32_t sequence, const double* vibratoSource,
                 double pitch);
  void setNoteOn(int note, int velocity, uint32_t sequence, const double* vibratoSource) {
    setNoteOn(note, velocity, sequence, vibratoSource, note * 128.0);
  }
  void setNoteOff();
  void setSustain(bool on);
  // Takes "Tune", "Velocity", "Octave Up", "Vibrato Depth", "Attack" and "Release"
  // by their parameter index; other indices are ignored.
  void setParam(int id, double value);

  bool isActive() const { return active_; }
  bool gate() const { return gate_; }
  bool sustained() const { return sustained_; }
  int note() const { return note_; }
  uint32_t sequence() const { return sequence_; }
  double envelope() const { return envelope_; }
  double pitch() const { return pitch_; }
  double amplitude() const { return amplitude_; }
  int pitchIndex() const { return pitchIndex_; }
  uint32_t phaseIncrement() const { return phaseIncrement_; }
  // Index of the wavetable in use, -1 before the first update.
  int wavetableIndex() const { return wavetableIndex_; }

 private:
  void release();
  void updateCoefficients();
  friend class VoiceMixer;
  // The voice plays (it is active and has a table).
  bool isPlaying() const { return active_ && wavetable_ != nullptr; }
  // Held at full level, the envelope stays at exactly 1 at every step.
  bool isHeldAtFullLevel() const {
    return envelope_ == 1.0 && envelopeTarget_ == kEnvAttackTarget && envelopeCoefficient_ >= 0.0;
  }
  // The envelopes of `count` voices over n frames, voice k's level after each step into
  // levels[k]; four voices side by side, so their recursions overlap in the processor.
  static void stepEnvelopes(Voice* const* voices, double* const* levels, int count, int n) noexcept;
  template <int K>
  static void stepEnvelopeGroup(Voice* const* voices, double* const* levels, int n) noexcept;
  // The run the mixing kernels read for the next frames, with the envelope's levels.
  VoiceRun run(const double* levels, bool held, int at, int frames) const {
    return {wavetable_, phase_, phaseIncrement_, amplitude_, levels, held, at, frames};
  }
  // The phase past n frames.
  void advancePhase(int n) noexcept {
    phase_ = static_cast<uint32_t>((phase_ + uint64_t{phaseIncrement_} * static_cast<uint64_t>(n)) &
                                   kVoicePhaseMask);
  }

  const double* vibratoSource_ = nullptr;
  double vibratoDepth_ = 0.0;
  int tune_ = 0;
  int octave_ = 0;
  double velocitySensitivity_ = 0.0;
  double attack_ = 0.0;
  double release_ = 0.0;
  bool active_ = false;
  bool gate_ = false;
  bool sustained_ = false;
  int note_ = 60;
  uint32_t sequence_ = 0;
  double pitch_ = 60 * 128.0;
  double amplitude_ = 1.0;
  const double* wavetable_ = nullptr;
  int wavetableIndex_ = -1;
  int pitchIndex_ = -1;
  uint32_t phase_ = 0;
  uint32_t phaseIncrement_ = 0;
  double envelopeTarget_ = 0.0;
  double previousEnvelope_ = 0.0;
  double envelopeCoefficient_ = 0.0;
  // The envelope law's coefficients for "Attack" and "Release" at this rate, worked
  // out when either changes rather than at every tick.
  double attackCoefficient_ = 0.0;
  double releaseCoefficient_ = 0.0;
  double envelope_ = 0.0;
  const PhaseIncrementTable* phaseTable_ = nullptr;
  double sampleRate_ = 0.0;
};
