// The ensembles' stereo kernel for AVX-512 (the same pairs, EVEX-encoded).
#include <immintrin.h>

#include "dsp/EnsembleLanes.h"

namespace {
#include "dsp/EnsembleSimd.inc"
}  // namespace

void runEnsemblesAvx512(EnsembleLane (&lanes)[2], double* const out[2], int n) noexcept {
  runKernel(lanes, out, n);
}
