// The band bank kernel for AVX-512 (foundation instructions only): eight lanes, four
// bands per register. Built with its own target flags and without contraction into
// fused multiply-adds, which would change results in the last bits.
#include <immintrin.h>

#include "dsp/BandBankLanes.h"

namespace {

struct Isa {
  static constexpr int kWidth = 8;
  using V = __m512d;
  using IV = __m512i;
  // The masked forms with every lane selected: the plain ones trip GCC 12's
  // uninitialised-variable warning inside the intrinsics header.
  static constexpr __mmask8 kAll = 0xFF;
  static V load(const double* p) { return _mm512_load_pd(p); }
  static IV loadMask(const long long* p) { return _mm512_load_si512(p); }
  static void store(double* p, V v) { _mm512_store_pd(p, v); }
  static V loadPair(const double* p) {
    return _mm512_maskz_broadcast_f64x4(kAll,
                                        _mm256_broadcast_pd(reinterpret_cast<const __m128d*>(p)));
  }
  // Bands 4k to 4k + 3, in order.
  static void addPairs(double* p, V v) {
    const __m256d low = _mm512_maskz_extractf64x4_pd(kAll, v, 0);
    const __m256d high = _mm512_maskz_extractf64x4_pd(kAll, v, 1);
    __m128d sum = _mm_loadu_pd(p) + _mm256_castpd256_pd128(low);
    sum = sum + _mm256_extractf128_pd(low, 1);
    sum = sum + _mm256_castpd256_pd128(high);
    _mm_storeu_pd(p, sum + _mm256_extractf128_pd(high, 1));
  }
  static V max(V a, V b) { return _mm512_maskz_max_pd(kAll, a, b); }
  static V min(V a, V b) { return _mm512_maskz_min_pd(kAll, a, b); }
};
using V = Isa::V;
using IV = Isa::IV;

#include "dsp/BandBankSimd.inc"

}  // namespace

void runBandBankAvx512(BandBankLanes& lanes, const BandBankSlice& slice) noexcept {
  runKernel(lanes, slice);
}
