#include "dsp/PhaseIncrementTable.h"

#include <cassert>
#include <cmath>

#include "dsp/PitchTables.h"

PhaseIncrementTable::PhaseIncrementTable() : freq2PhInc_(kMaxIndex + 1, 0u) {}

void PhaseIncrementTable::build(double sampleRate) {
  if (!(sampleRate >= 1.0)) sampleRate = 1.0;
  if (sampleRate == sampleRate_) return;
  sampleRate_ = sampleRate;
  // step = f / fs * 2^28, truncated; wrapped to the accumulator width for very low rates.
  const double scale = std::ldexp(1.0, kPhaseBits) / sampleRate;
  for (int i = 0; i <= kMaxIndex; ++i) {
    const auto step = static_cast<uint64_t>(pitch::toHz(i) * scale);
    freq2PhInc_[i] = static_cast<uint32_t>(step & kPhaseMask);
  }
}

uint32_t PhaseIncrementTable::at(int pitchIndex) const {
  if (pitchIndex < 0) pitchIndex = 0;
  if (pitchIndex > kMaxIndex) pitchIndex = kMaxIndex;
  assert(pitchIndex >= 0 && static_cast<size_t>(pitchIndex) < freq2PhInc_.size());
  return freq2PhInc_[pitchIndex];
}
