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
  uint32_t seed = randSeed.load(std::memory_order_relaxed);
  for (int i = 0; i < n; ++i) {
    seed *= 16807u;
    out[i] = static_cast<int32_t>(seed) * 4.6566129e-10;
  }
  randSeed.store(seed, std::memory_order_relaxed);
}

void resetNoiseSeed() { randSeed.store(1, std::memory_order_relaxed); }
