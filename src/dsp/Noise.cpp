#include "dsp/Noise.h"

#include <atomic>
#include <cstdint>

namespace {

// Relaxed atomics keep concurrent instances free of data races; an occasional
// repeated value between two instances is harmless for noise.
std::atomic<uint32_t> randSeed{1};

}  // namespace

double getNoise() noexcept {
  double value;
  fillNoise(&value, 1);
  return value;
}

void fillNoise(double* out, int n) noexcept {
  constexpr uint32_t kStep = 16807u;
  constexpr uint32_t kFourSteps = kStep * kStep * kStep * kStep;  // modulo 2^32, as the seed
  auto value = [](uint32_t seed) { return static_cast<int32_t>(seed) * 4.6566129e-10; };
  uint32_t seed = randSeed.load(std::memory_order_relaxed);
  int i = 0;
  if (n >= 4) {
    // Four frames' sequences side by side, each four steps at a time: the same values,
    // without each multiplication waiting for the one before.
    uint32_t lane[4];
    for (int k = 0; k < 4; ++k) lane[k] = seed *= kStep;
    for (; i + 4 <= n; i += 4) {
      for (int k = 0; k < 4; ++k) out[i + k] = value(lane[k]);
      seed = lane[3];  // the last one given
      for (int k = 0; k < 4; ++k) lane[k] *= kFourSteps;
    }
  }
  for (; i < n; ++i) out[i] = value(seed *= kStep);
  randSeed.store(seed, std::memory_order_relaxed);
}

void resetNoiseSeed() { randSeed.store(1, std::memory_order_relaxed); }
