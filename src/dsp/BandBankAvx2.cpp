// The band bank kernel for AVX2: four lanes, two bands per register. Built with its
// own target flags and without contraction into fused multiply-adds, which would
// change results in the last bits.
#include <immintrin.h>

#include "dsp/BandBankLanes.h"

namespace {

#include "dsp/BandBankAvx2Isa.inc"
#include "dsp/BandBankSimd.inc"

}  // namespace

void runBandBankAvx2(BandBankLanes& lanes, const BandBankSlice& slice) noexcept {
  runKernel(lanes, slice);
}
