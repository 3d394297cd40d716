// The band bank kernel for SSE2, which every x86-64 processor has: two lanes, one
// band (left and right) per register.
#include <emmintrin.h>

#include "dsp/BandBankLanes.h"

namespace {

#include "dsp/BandBankSse2Isa.inc"
#include "dsp/BandBankSimd.inc"

}  // namespace

void runBandBankSse2(BandBankLanes& lanes, const BandBankSlice& slice) noexcept {
  runKernel(lanes, slice);
}
