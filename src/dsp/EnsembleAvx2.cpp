// The ensembles' stereo kernel for AVX2 (the same pairs, VEX-encoded).
#include <immintrin.h>

#include "dsp/EnsembleLanes.h"

namespace {
#include "dsp/EnsembleSimd.inc"
}  // namespace

void runEnsemblesAvx2(EnsembleLane (&lanes)[2], double* const out[2], int n) noexcept {
  runKernel(lanes, out, n);
}
