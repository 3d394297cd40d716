// Signals the suites feed to plug-ins and the figures they read from what comes back.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Deterministic noise in -amplitude..amplitude.
inline std::vector<float> noise(size_t frames, uint32_t seed, float amplitude = 0.5f) {
  std::vector<float> samples(frames);
  for (float& s : samples) {
    seed = seed * 1664525u + 1013904223u;
    s = amplitude * (static_cast<float>(seed) / 2147483648.0f - 1.0f);
  }
  return samples;
}

// Root mean square of samples from..to (to the end by default).
inline double rms(const std::vector<float>& samples, size_t from = 0, size_t to = SIZE_MAX) {
  to = std::min(to, samples.size());
  double sum = 0.0;
  for (size_t i = from; i < to; ++i) sum += double(samples[i]) * samples[i];
  return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
}

// Every sample a number and none of them subnormal.
inline ::testing::AssertionResult cleanSignal(const std::vector<float>& samples) {
  for (size_t i = 0; i < samples.size(); ++i)
    if (!std::isfinite(samples[i]) || std::fpclassify(samples[i]) == FP_SUBNORMAL)
      return ::testing::AssertionFailure() << "sample " << i << " is " << samples[i];
  return ::testing::AssertionSuccess();
}
