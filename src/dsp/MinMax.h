#pragma once

// max and min with the constant first, as the processor's maxsd and minsd compute
// them: (c > v ? c : v) and (c < v ? c : v), so a NaN in v passes through. Written
// with the instructions themselves because compilers otherwise often branch here, and
// the SIMD kernels use the same instructions, operand for operand.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

inline double maxConstantFirst(double constant, double v) noexcept {
#if defined(__SSE2__)
  return _mm_cvtsd_f64(_mm_max_sd(_mm_set_sd(constant), _mm_set_sd(v)));
#else
  return constant > v ? constant : v;
#endif
}

inline double minConstantFirst(double constant, double v) noexcept {
#if defined(__SSE2__)
  return _mm_cvtsd_f64(_mm_min_sd(_mm_set_sd(constant), _mm_set_sd(v)));
#else
  return constant < v ? constant : v;
#endif
}
