// The band bank kernel for AVX-512 (foundation and doubleword/quadword instructions):
// eight lanes, four bands per register. Built with its own target flags and without
// contraction into fused multiply-adds, which would change results in the last bits.
#include <immintrin.h>

#include "dsp/BandBankLanes.h"

namespace {

#include "dsp/BandBankAvx512Isa.inc"
#include "dsp/BandBankSimd.inc"

}  // namespace

void runBandBankAvx512(BandBankLanes& lanes, const BandBankSlice& slice) noexcept {
  runKernel(lanes, slice);
}
