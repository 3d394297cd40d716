#pragma once

// Per-sample phase steps of the voices' 28-bit phase accumulator for every pitch
// index 0..17280 (1/128 semitone units) at one sample rate. Each engine owns one,
// built at reset, so instances running at different rates never share a table.

#include <cstdint>
#include <vector>

class PhaseIncrementTable {
 public:
  static constexpr int kMaxIndex = 17280;
  static constexpr int kPhaseBits = 28;
  static constexpr uint32_t kPhaseMask = (1u << kPhaseBits) - 1;

  PhaseIncrementTable();

  // Reset; rebuilds only when the rate changed. Rates below 1 Hz are taken as 1 Hz.
  void build(double sampleRate);
  double sampleRate() const { return sampleRate_; }
  // Pitch index clamped to 0..17280.
  uint32_t at(int pitchIndex) const;

 private:
  std::vector<uint32_t> freq2PhInc_;
  double sampleRate_ = 0.0;
};
