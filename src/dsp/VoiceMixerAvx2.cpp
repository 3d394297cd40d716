// The voice mixer's kernel for AVX2: four frames per register.
#include <immintrin.h>

#include "dsp/VoiceRun.h"

namespace {

struct Isa {
  static constexpr int kWidth = 4;
  using V = __m256d;
  static V fromFrames(const double* x) { return _mm256_set_pd(x[3], x[2], x[1], x[0]); }
  static V splat(double x) { return _mm256_set1_pd(x); }
  static V loadu(const double* p) { return _mm256_loadu_pd(p); }
  static void storeu(double* p, V v) { _mm256_storeu_pd(p, v); }
  // Lanes below `frames`.
  static __m256i lanes(int frames) {
    return _mm256_cmpgt_epi64(_mm256_set1_epi64x(frames), _mm256_set_epi64x(3, 2, 1, 0));
  }
  static V loadPartial(const double* p, int frames) { return _mm256_maskload_pd(p, lanes(frames)); }
  static void storePartial(double* p, V v, int frames) { _mm256_maskstore_pd(p, lanes(frames), v); }
};
using V = Isa::V;

#include "dsp/VoiceMixerSimd.inc"

}  // namespace

void mixVoicesAvx2(const VoiceRun* runs, int count, double* out) noexcept {
  mixKernel(runs, count, out);
}
