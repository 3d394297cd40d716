#include "dsp/SimdKernel.h"

#include <cstdlib>
#include <cstring>

namespace simd {

const char* name(SimdKernel kernel) {
  switch (kernel) {
    case SimdKernel::kSse2: return "sse2";
    case SimdKernel::kAvx2: return "avx2";
    case SimdKernel::kAvx512: return "avx512";
    default: return "scalar";
  }
}

bool isSupported(SimdKernel kernel) {
  __builtin_cpu_init();
  switch (kernel) {
    case SimdKernel::kAvx2: return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case SimdKernel::kAvx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
             __builtin_cpu_supports("fma");
    default: return true;
  }
}

SimdKernel best() {
  if (isSupported(SimdKernel::kAvx512)) return SimdKernel::kAvx512;
  if (isSupported(SimdKernel::kAvx2)) return SimdKernel::kAvx2;
  return SimdKernel::kSse2;
}

SimdKernel fromEnvironment() {
  const char* wanted = std::getenv("ZORQ_SIMD");
  if (wanted)
    for (SimdKernel kernel : kKernels)
      if (std::strcmp(wanted, name(kernel)) == 0 && isSupported(kernel)) return kernel;
  return best();
}

SimdKernel orBest(SimdKernel kernel) { return isSupported(kernel) ? kernel : best(); }

}  // namespace simd
