// The band bank's Avx2 kernel in parts, for the stage table.
#include <immintrin.h>

#include "BandBankParts.h"

namespace {
#include "dsp/BandBankAvx2Isa.inc"
#include "dsp/BandBankSimd.inc"
}  // namespace

void runBandBankPartAvx2(BandBankLanes& lanes, const BandBankSlice& slice, BandBankPart part) {
  switch (part) {
    case BandBankPart::kAnalysis: runKernel<KernelPart::kAnalysis>(lanes, slice); break;
    case BandBankPart::kSynthesis: runKernel<KernelPart::kSynthesis>(lanes, slice); break;
    default: runKernel(lanes, slice); break;
  }
}
