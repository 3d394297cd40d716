#pragma once

// The instruction sets the DSP kernels (band bank, voices, ensemble) are built for. Each
// kernel sits in a translation unit of its own, compiled with that set's flags, and the
// engine picks one at reset from what the processor runs, or from ZORQ_SIMD.

enum class SimdKernel { kScalar, kSse2, kAvx2, kAvx512 };

namespace simd {

constexpr SimdKernel kKernels[] = {SimdKernel::kScalar, SimdKernel::kSse2, SimdKernel::kAvx2,
                                   SimdKernel::kAvx512};

// "scalar", "sse2", "avx2", "avx512".
const char* name(SimdKernel kernel);
// AVX2 with fused multiply-adds; AVX-512 with its foundation and doubleword/quadword sets
// and fused multiply-adds.
bool isSupported(SimdKernel kernel);
// The widest kernel this processor runs.
SimdKernel best();
// The kernel ZORQ_SIMD names when this processor runs it; otherwise the best.
SimdKernel fromEnvironment();
// The kernel itself when supported, else the best.
SimdKernel orBest(SimdKernel kernel);

}  // namespace simd
