// The band bank kernel for AVX-512 (foundation and doubleword/quadword instructions):
// eight lanes, four bands per register. Built with its own target flags and without
// contraction into fused multiply-adds, which would change results in the last bits.
#include <immintrin.h>

#include "dsp/BandBankLanes.h"

namespace {

struct Isa {
  static constexpr int kWidth = 8;
  static constexpr bool kHasRangeClamp = true;
  using V = __m512d;
  using IV = __m512i;
  // The masked forms with every lane selected: the plain ones trip GCC 12's
  // uninitialised-variable warning inside the intrinsics header.
  static constexpr __mmask8 kAll = 0xFF;
  static V load(const double* p) { return _mm512_load_pd(p); }
  static V loadu(const double* p) { return _mm512_loadu_pd(p); }
  static IV loadMask(const long long* p) { return _mm512_load_si512(p); }
  static void store(double* p, V v) { _mm512_store_pd(p, v); }
  static void storeu(double* p, V v) { _mm512_storeu_pd(p, v); }
  static V loadPair(const double* p) { return _mm512_maskz_broadcast_f64x2(kAll, _mm_loadu_pd(p)); }
  // Four frames of each channel as left/right pairs, in frame order.
  static V loadInterleaved(const double* left, const double* right) {
    const __m512i order = _mm512_set_epi64(11, 3, 10, 2, 9, 1, 8, 0);
    return _mm512_maskz_permutex2var_pd(
        kAll, _mm512_maskz_broadcast_f64x4(kAll, _mm256_loadu_pd(left)), order,
        _mm512_maskz_broadcast_f64x4(kAll, _mm256_loadu_pd(right)));
  }
  // Bands 4k to 4k + 3, in order.
  static void storeDeinterleaved(double* left, double* right, V pairs) {
    const __m512i order = _mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0);
    const V byChannel = _mm512_maskz_permutexvar_pd(kAll, order, pairs);
    _mm256_storeu_pd(left, _mm512_maskz_extractf64x4_pd(kAll, byChannel, 0));
    _mm256_storeu_pd(right, _mm512_maskz_extractf64x4_pd(kAll, byChannel, 1));
  }
  static unsigned signBits(V v) { return _mm512_movepi64_mask(_mm512_castpd_si512(v)); }
  static void addPairs(double* p, V v) {
    const __m256d low = _mm512_maskz_extractf64x4_pd(kAll, v, 0);
    const __m256d high = _mm512_maskz_extractf64x4_pd(kAll, v, 1);
    __m128d sum = _mm_loadu_pd(p) + _mm256_castpd256_pd128(low);
    sum = sum + _mm256_extractf128_pd(low, 1);
    sum = sum + _mm256_castpd256_pd128(high);
    _mm_storeu_pd(p, sum + _mm256_extractf128_pd(high, 1));
  }
  static constexpr bool kAddBound = false;
  static V addOnMultiplier(V a, V b) {
    return _mm512_maskz_fmadd_pd(kAll, b, _mm512_set1_pd(1.0), a);
  }
  static V max(V a, V b) { return _mm512_maskz_max_pd(kAll, a, b); }
  static V min(V a, V b) { return _mm512_maskz_min_pd(kAll, a, b); }
  // The smaller magnitude of v and 64 with the sign of v: the clamp to +-64 for every
  // value but NaN (which it turns into +-64).
  static V clampRange(V v) { return _mm512_maskz_range_pd(kAll, v, _mm512_set1_pd(64.0), 0x2); }
  // The offsets of four frames from an even index, phase 0.
  static V offsetPattern() {
    return _mm512_set_pd(-1e-13, -1e-13, 1e-13, 1e-13, -1e-13, -1e-13, 1e-13, 1e-13);
  }
};
using V = Isa::V;
using IV = Isa::IV;

#include "dsp/BandBankSimd.inc"

}  // namespace

void runBandBankAvx512(BandBankLanes& lanes, const BandBankSlice& slice) noexcept {
  runKernel(lanes, slice);
}
