#pragma once

// A playing voice over frames at .. at + frames - 1 of the mixer's output, as the
// voice-mixing kernels read it, and the kernels. Each adds every run into out frame by
// frame, runs in order, so every frame receives the same sum, term for term, as when
// the voices play one after the other:
//   out[at + i] += table[phase_i >> 16] x level_i x amplitude
//   phase_i+1 = (phase_i + increment) mod 2^28
// This header is included by the kernel translation units, each built for its own
// instruction set: plain data and declarations only, no inline functions.

#include <cstdint>

constexpr int kVoicePhaseBits = 28;
constexpr uint32_t kVoicePhaseMask = (1u << kVoicePhaseBits) - 1;
constexpr int kVoiceTableShift = kVoicePhaseBits - 12;  // 4096-sample tables

struct VoiceRun {
  const double* table;
  uint32_t phase;      // at the run's first frame
  uint32_t increment;  // per frame
  double amplitude;
  const double* levels;  // the envelope of each frame (1 throughout when held at full level)
  bool held;             // held at full level: every level is 1
  int at;
  int frames;
};

void mixVoicesScalar(const VoiceRun* runs, int count, double* out) noexcept;
void mixVoicesSse2(const VoiceRun* runs, int count, double* out) noexcept;
void mixVoicesAvx2(const VoiceRun* runs, int count, double* out) noexcept;
void mixVoicesAvx512(const VoiceRun* runs, int count, double* out) noexcept;
