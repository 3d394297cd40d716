// The band bank kernel for SSE2, which every x86-64 processor has: two lanes, one
// band (left and right) per register.
#include <emmintrin.h>

#include "dsp/BandBankLanes.h"

namespace {

struct Isa {
  static constexpr int kWidth = 2;
  using V = __m128d;
  using IV = __m128i;
  static V load(const double* p) { return _mm_load_pd(p); }
  static IV loadMask(const long long* p) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
  }
  static void store(double* p, V v) { _mm_store_pd(p, v); }
  static V loadPair(const double* p) { return _mm_loadu_pd(p); }
  static void addPairs(double* p, V v) { _mm_storeu_pd(p, _mm_loadu_pd(p) + v); }
  static V max(V a, V b) { return _mm_max_pd(a, b); }
  static V min(V a, V b) { return _mm_min_pd(a, b); }
};
using V = Isa::V;
using IV = Isa::IV;

#include "dsp/BandBankSimd.inc"

}  // namespace

void runBandBankSse2(BandBankLanes& lanes, const BandBankSlice& slice) noexcept {
  runKernel(lanes, slice);
}
