#pragma once

// The attack/release law shared by the keyboard voices and the sample player. The
// level moves toward a target 1/9 beyond the end it heads for (10/9 while held,
// -1/9 after release) by a fixed fraction per sample and is held within 0..1:
//   level = clamp(level + (target - level) x coefficient, 0, 1)
//   coefficient = ln(10) / fs x 10^(2.3 - 4.5 q)   (q = "Attack" or "Release", 0..1)
// so the level covers 0..1 in about 10^(4.5 q - 2.3) s: 5 ms at 0, 0.89 s at 0.5,
// 158 s at 1.
#include "dsp/MinMax.h"

namespace envelope {

constexpr double kAttackTarget = 10.0 / 9.0;
constexpr double kReleaseTarget = -1.0 / 9.0;

// At most 1 (reached below about 462 Hz); 0 without a sample rate.
double coefficient(double sampleRate, double setting);

// The clamp is (e < 0 ? 0 : e), then (1 < e ? 1 : e); NaN passes through.
inline double step(double level, double target, double coefficient) noexcept {
  const double e = level + (target - level) * coefficient;
  return minConstantFirst(1.0, maxConstantFirst(0.0, e));
}

}  // namespace envelope
