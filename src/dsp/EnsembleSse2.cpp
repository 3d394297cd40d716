// The ensembles' stereo kernel for SSE2.
#include <emmintrin.h>

#include "dsp/EnsembleLanes.h"

namespace {
#include "dsp/EnsembleSimd.inc"
}  // namespace

void runEnsemblesSse2(EnsembleLane (&lanes)[2], double* const out[2], int n) noexcept {
  runKernel(lanes, out, n);
}
