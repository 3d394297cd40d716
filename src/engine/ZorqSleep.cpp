// Sleep: when the voice input, the carrier and every note have been silent long enough
// for the output to stay below -200 dBFS and every filter, follower and the ensemble to
// rest at their noise floor, the block loop stops computing and writes exact zeros. It
// keeps the control ticks (MIDI, parameters, the LFOs' phases, the ensemble's sweep), so
// that what depends on time alone goes on as if awake, and wakes at the first frame of
// input that is not zero, at the tick of a note, or at a parameter change. The filters
// resume from the noise floor they rested at, which differs from the one they would have
// reached awake by less than -200 dBFS.
#include <emmintrin.h>

#include <cmath>

#include "engine/ZORQ.h"

namespace {
// -200 dBFS: the output's level below which the engine may fall asleep.
constexpr double kSleepLevel = 1e-10;
// Every filter's history within this: its noise floor (the 1e-13 anti-denormal offset)
// and no more, so the state it wakes with differs from the awake one by far less than
// -200 dBFS.
constexpr double kRestLevel = 1e-12;
// How long the output stays below kSleepLevel before the filters are looked at.
constexpr double kQuietSeconds = 0.1;

bool quieterThan(const double* x, int n, double level) {
  for (int i = 0; i < n; ++i)
    if (!(std::fabs(x[i]) <= level)) return false;
  return true;
}

// Two frames at a time (SSE2 is the baseline), then the exact frame.
int firstNonZero(const double* x, int n) {
  const __m128d zero = _mm_setzero_pd();
  int i = 0;
  for (; i + 2 <= n; i += 2)
    if (_mm_movemask_pd(_mm_cmpneq_pd(_mm_loadu_pd(x + i), zero)) != 0) break;
  for (; i < n; ++i)
    if (x[i] != 0.0) return i;
  return n;
}
}  // namespace

bool ZORQ::atRestButForInput() const {
  if (!sleepEnabled_) return false;
  const bool keyboard = keyboardOn_ && keyboardLevel_ > 0.0;
  if (keyboard)
    for (const Voice& voice : voices_)
      if (voice.isActive()) return false;
  // The accent bend turns the envelopes' noise floor into pitch: it must keep running.
  if (accentBends()) return false;
  if (noiseLevel_ > 0.0) return false;
  if (inputFromFile_ && sampler_.length() > 0 && sampler_.remaining() > 0) return false;
  return true;
}

int ZORQ::firstSoundingFrame(double** inputs, int n) const {
  const double* listened[kNumInputs];
  int count = 0;
  for (int c = 0; c < kNumInputs; ++c) {
    const bool modulator = c < 2 && !inputFromFile_, carrier = c >= 2 && externalLevel_ > 0.0;
    if (inputConnected_[c] && (modulator || carrier)) listened[count++] = inputs[c];
  }
  // Sound from the first frame on is the common case while awake.
  for (int k = 0; k < count; ++k)
    if (n > 0 && listened[k][0] != 0.0) return 0;
  // Silence is the common case asleep: every input's bits ORed together first (a sign bit
  // alone is -0, which is 0), two frames at a time; the exact frame only after that.
  __m128i bits = _mm_setzero_si128();
  int i = 0;
  for (; i + 2 <= n; i += 2)
    for (int k = 0; k < count; ++k)
      bits = _mm_or_si128(bits, _mm_loadu_si128(reinterpret_cast<const __m128i*>(listened[k] + i)));
  bits = _mm_and_si128(bits, _mm_set1_epi64x(0x7fffffffffffffffLL));
  bool silent = _mm_movemask_epi8(_mm_cmpeq_epi32(bits, _mm_setzero_si128())) == 0xFFFF;
  for (int k = 0; k < count && i < n; ++k) silent = silent && listened[k][i] == 0.0;
  if (silent) return n;
  int first = n;
  for (int k = 0; k < count; ++k) first = std::min(first, firstNonZero(listened[k], first));
  return first;
}

void ZORQ::wake() {
  asleep_ = false;
  quietFrames_ = 0;
}

void ZORQ::setSleepEnabled(bool enabled) {
  sleepEnabled_ = enabled;
  if (!enabled) wake();
}

void ZORQ::sleepingTick() {
  if (keyboardOn_)
    for (LFO& lfo : vibratoLFOs_) lfo.advance();
  advanceEnsembles();
  decayMeter();
}

void ZORQ::rest(double* outL, double* outR, int n) {
  std::fill(outL, outL + n, 0.0);
  std::fill(outR, outR + n, 0.0);
  if (ensembleOn_) Ensemble::skipPair(ensembles_[0], ensembles_[1], n);
}

double ZORQ::quietFramesToSleep() const { return kQuietSeconds * GetSampleRate(); }

void ZORQ::noteQuiet(bool quietInput, const double* outL, const double* outR, int n) {
  if (!quietInput || !quieterThan(outL, n, kSleepLevel) || !quieterThan(outR, n, kSleepLevel)) {
    quietFrames_ = 0;
    return;
  }
  quietFrames_ += static_cast<uint32_t>(n);
  if (quietFrames_ < quietFramesToSleep()) return;
  quietFrames_ = 0;  // asleep, or the filters looked at again after another quiet spell
  bool resting = bank_.isAtRest(kRestLevel);
  if (ensembleOn_)
    for (const Ensemble& ensemble : ensembles_) resting = resting && ensemble.isAtRest(kRestLevel);
  asleep_ = resting;
}
