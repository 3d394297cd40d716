// The voice mixer's kernel for SSE2: two frames per register.
#include <emmintrin.h>

#include "dsp/VoiceRun.h"

namespace {

struct Isa {
  static constexpr int kWidth = 2;
  using V = __m128d;
  static V fromFrames(const double* x) { return _mm_set_pd(x[1], x[0]); }
  static V splat(double x) { return _mm_set1_pd(x); }
  static V loadu(const double* p) { return _mm_loadu_pd(p); }
  static void storeu(double* p, V v) { _mm_storeu_pd(p, v); }
  static V loadPartial(const double* p, int) { return _mm_load_sd(p); }
  static void storePartial(double* p, V v, int) { _mm_store_sd(p, v); }
};
using V = Isa::V;

#include "dsp/VoiceMixerSimd.inc"

}  // namespace

void mixVoicesSse2(const VoiceRun* runs, int count, double* out) noexcept {
  mixKernel(runs, count, out);
}
