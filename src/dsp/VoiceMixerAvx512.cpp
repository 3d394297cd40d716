// The voice mixer's kernel for AVX-512: eight frames per register.
#include <immintrin.h>

#include "dsp/VoiceRun.h"

namespace {

struct Isa {
  static constexpr int kWidth = 8;
  using V = __m512d;
  // The masked forms with every lane selected: the plain ones trip GCC 12's
  // uninitialised-variable warning inside the intrinsics header.
  static constexpr __mmask8 kAll = 0xFF;
  static V fromFrames(const double* x) {
    return _mm512_set_pd(x[7], x[6], x[5], x[4], x[3], x[2], x[1], x[0]);
  }
  static V splat(double x) { return _mm512_set1_pd(x); }
  static V loadu(const double* p) { return _mm512_maskz_loadu_pd(kAll, p); }
  static void storeu(double* p, V v) { _mm512_storeu_pd(p, v); }
  static __mmask8 lanes(int frames) { return static_cast<__mmask8>((1u << frames) - 1); }
  static V loadPartial(const double* p, int frames) {
    return _mm512_maskz_loadu_pd(lanes(frames), p);
  }
  static void storePartial(double* p, V v, int frames) {
    _mm512_mask_storeu_pd(p, lanes(frames), v);
  }
};
using V = Isa::V;

#include "dsp/VoiceMixerSimd.inc"

}  // namespace

void mixVoicesAvx512(const VoiceRun* runs, int count, double* out) noexcept {
  mixKernel(runs, count, out);
}
