// The band bank's Avx512 kernel in parts, for the stage table.
#include <immintrin.h>

#include "BandBankParts.h"

namespace {
#include "dsp/BandBankAvx512Isa.inc"
#include "dsp/BandBankSimd.inc"
}  // namespace

void runBandBankPartAvx512(BandBankLanes& lanes, const BandBankSlice& slice, BandBankPart part) {
  switch (part) {
    case BandBankPart::kAnalysis: runKernel<KernelPart::kAnalysis>(lanes, slice); break;
    case BandBankPart::kSynthesis: runKernel<KernelPart::kSynthesis>(lanes, slice); break;
    default: runKernel(lanes, slice); break;
  }
}
