// The band bank kernel for AVX2: four lanes, two bands per register. Built with its
// own target flags and without contraction into fused multiply-adds, which would
// change results in the last bits.
#include <immintrin.h>

#include "dsp/BandBankLanes.h"

namespace {

struct Isa {
  static constexpr int kWidth = 4;
  using V = __m256d;
  using IV = __m256i;
  static V load(const double* p) { return _mm256_load_pd(p); }
  static IV loadMask(const long long* p) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
  }
  static void store(double* p, V v) { _mm256_store_pd(p, v); }
  static V loadPair(const double* p) {
    return _mm256_broadcast_pd(reinterpret_cast<const __m128d*>(p));
  }
  // Band 2k, then band 2k + 1.
  static void addPairs(double* p, V v) {
    const __m128d sum = _mm_loadu_pd(p) + _mm256_castpd256_pd128(v);
    _mm_storeu_pd(p, sum + _mm256_extractf128_pd(v, 1));
  }
  static V max(V a, V b) { return _mm256_max_pd(a, b); }
  static V min(V a, V b) { return _mm256_min_pd(a, b); }
};
using V = Isa::V;
using IV = Isa::IV;

#include "dsp/BandBankSimd.inc"

}  // namespace

void runBandBankAvx2(BandBankLanes& lanes, const BandBankSlice& slice) noexcept {
  runKernel(lanes, slice);
}
