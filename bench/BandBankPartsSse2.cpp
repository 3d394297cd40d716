// The band bank's Sse2 kernel in parts, for the stage table.
#include <emmintrin.h>

#include "BandBankParts.h"

namespace {
#include "dsp/BandBankSse2Isa.inc"
#include "dsp/BandBankSimd.inc"
}  // namespace

void runBandBankPartSse2(BandBankLanes& lanes, const BandBankSlice& slice, BandBankPart part) {
  switch (part) {
    case BandBankPart::kAnalysis: runKernel<KernelPart::kAnalysis>(lanes, slice); break;
    case BandBankPart::kSynthesis: runKernel<KernelPart::kSynthesis>(lanes, slice); break;
    default: runKernel(lanes, slice); break;
  }
}
