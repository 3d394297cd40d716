// The band bank kernel for SSE2, which every x86-64 processor has: two lanes, one
// band (left and right) per register.
#include <emmintrin.h>

#include "dsp/BandBankLanes.h"

namespace {

struct Isa {
  static constexpr int kWidth = 2;
  static constexpr bool kHasRangeClamp = false;
  using V = __m128d;
  using IV = __m128i;
  static V load(const double* p) { return _mm_load_pd(p); }
  static V loadu(const double* p) { return _mm_loadu_pd(p); }
  static IV loadMask(const long long* p) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
  }
  static void store(double* p, V v) { _mm_store_pd(p, v); }
  static void storeu(double* p, V v) { _mm_storeu_pd(p, v); }
  static V loadPair(const double* p) { return _mm_loadu_pd(p); }
  static V loadInterleaved(const double* left, const double* right) {
    return _mm_unpacklo_pd(_mm_load_sd(left), _mm_load_sd(right));
  }
  static void storeDeinterleaved(double* left, double* right, V pairs) {
    _mm_storel_pd(left, pairs);
    _mm_storeh_pd(right, pairs);
  }
  static unsigned signBits(V v) { return static_cast<unsigned>(_mm_movemask_pd(v)); }
  static void addPairs(double* p, V v) { _mm_storeu_pd(p, _mm_loadu_pd(p) + v); }
  static constexpr bool kAddBound = false;
  static V addOnMultiplier(V a, V b) { return a + b; }
  static V max(V a, V b) { return _mm_max_pd(a, b); }
  static V min(V a, V b) { return _mm_min_pd(a, b); }
  static V clampRange(V v) {
    return _mm_min_pd(_mm_set1_pd(64.0), _mm_max_pd(_mm_set1_pd(-64.0), v));
  }
  // The offsets of one frame at an even index, phase 0.
  static V offsetPattern() { return _mm_set1_pd(1e-13); }
};
using V = Isa::V;
using IV = Isa::IV;

#include "dsp/BandBankSimd.inc"

}  // namespace

void runBandBankSse2(BandBankLanes& lanes, const BandBankSlice& slice) noexcept {
  runKernel(lanes, slice);
}
