// The band bank kernel for AVX2: four lanes, two bands per register. Built with its
// own target flags and without contraction into fused multiply-adds, which would
// change results in the last bits.
#include <immintrin.h>

#include "dsp/BandBankLanes.h"

namespace {

struct Isa {
  static constexpr int kWidth = 4;
  static constexpr bool kHasRangeClamp = false;
  using V = __m256d;
  using IV = __m256i;
  static V load(const double* p) { return _mm256_load_pd(p); }
  static V loadu(const double* p) { return _mm256_loadu_pd(p); }
  static IV loadMask(const long long* p) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
  }
  static void store(double* p, V v) { _mm256_store_pd(p, v); }
  static void storeu(double* p, V v) { _mm256_storeu_pd(p, v); }
  static V loadPair(const double* p) {
    return _mm256_broadcast_pd(reinterpret_cast<const __m128d*>(p));
  }
  // Two frames of each channel as [left 0, right 0, left 1, right 1].
  static V loadInterleaved(const double* left, const double* right) {
    const __m128d l = _mm_loadu_pd(left), r = _mm_loadu_pd(right);
    return _mm256_set_m128d(_mm_unpackhi_pd(l, r), _mm_unpacklo_pd(l, r));
  }
  // Band 2k, then band 2k + 1.
  static void storeDeinterleaved(double* left, double* right, V pairs) {
    const V byChannel = _mm256_permute4x64_pd(pairs, 0xD8);  // left 0, left 1, right 0, right 1
    _mm_storeu_pd(left, _mm256_castpd256_pd128(byChannel));
    _mm_storeu_pd(right, _mm256_extractf128_pd(byChannel, 1));
  }
  static unsigned signBits(V v) { return static_cast<unsigned>(_mm256_movemask_pd(v)); }
  static void addPairs(double* p, V v) {
    const __m128d sum = _mm_loadu_pd(p) + _mm256_castpd256_pd128(v);
    _mm_storeu_pd(p, sum + _mm256_extractf128_pd(v, 1));
  }
  static constexpr bool kAddBound = true;  // the clamps are a max and a min
  static V addOnMultiplier(V a, V b) { return _mm256_fmadd_pd(b, _mm256_set1_pd(1.0), a); }
  static V max(V a, V b) { return _mm256_max_pd(a, b); }
  static V min(V a, V b) { return _mm256_min_pd(a, b); }
  static V clampRange(V v) {
    return _mm256_min_pd(_mm256_set1_pd(64.0), _mm256_max_pd(_mm256_set1_pd(-64.0), v));
  }
  // The offsets of two frames from an even index, phase 0.
  static V offsetPattern() { return _mm256_set_pd(-1e-13, -1e-13, 1e-13, 1e-13); }
};
using V = Isa::V;
using IV = Isa::IV;

#include "dsp/BandBankSimd.inc"

}  // namespace

void runBandBankAvx2(BandBankLanes& lanes, const BandBankSlice& slice) noexcept {
  runKernel(lanes, slice);
}
