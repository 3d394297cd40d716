#pragma once

// The band bank kernels in parts, built for the benchmarks only (BandBankParts*.cpp): the
// analysis side alone (resonators, followers, band gains), the synthesis side alone
// (resonators, output sum) or the whole, on a bank of every band at its default
// frequency. The stage table splits the band bank's time between analysis and synthesis
// by what the parts take.

#include "dsp/BandBankLanes.h"
#include "dsp/SimdKernel.h"

enum class BandBankPart { kWhole, kAnalysis, kSynthesis };

void runBandBankPartSse2(BandBankLanes& lanes, const BandBankSlice& slice, BandBankPart part);
void runBandBankPartAvx2(BandBankLanes& lanes, const BandBankSlice& slice, BandBankPart part);
void runBandBankPartAvx512(BandBankLanes& lanes, const BandBankSlice& slice, BandBankPart part);

// CPU seconds per frame of each part of a SIMD kernel, "VE-10 Full Bands" on noise.
struct BandBankPartTimes {
  double whole, analysis, synthesis;
};
BandBankPartTimes timeBandBankParts(SimdKernel kernel, double sampleRate, int sliceFrames);
