#include "dsp/Noise.h"

#include <atomic>
#include <cstdint>

namespace {

// Relaxed atomics keep concurrent instances free of data races; an occasional
// repeated value between two instances is harmless for noise.
std::atomic<uint32_t> randSeed{1};

}  // namespace

double getNoise() noexcept {
  const uint32_t next = randSeed.load(std::memory_order_relaxed) * 16807u;
  randSeed.store(next, std::memory_order_relaxed);
  return static_cast<int32_t>(next) * 4.6566129e-10;
}

void resetNoiseSeed() { randSeed.store(1, std::memory_order_relaxed); }
