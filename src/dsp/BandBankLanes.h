#pragma once

// The band bank's state as structure-of-arrays, one lane per band-channel
// (lane = 2 x band + channel), and the kernels that run it for one slice.
//
// This header is included by the kernel translation units, each compiled for its own
// instruction set: it holds plain data and declarations only, no inline functions,
// so no code built for a wider instruction set can end up shared with the rest of
// the program.

#include "dsp/BandTables.h"
#include "dsp/SimdKernel.h"

constexpr int kBandLanes = 2 * kNumBands;

struct alignas(64) LaneArray {
  double v[kBandLanes];
};

struct ResonatorLanes {
  LaneArray b0a, a1a, a2a, b0b, a1b, a2b;
  LaneArray x1a, x2a, y1a, y2a, x1b, x2b, y1b, y2b;
};

struct FollowerLanes {
  LaneArray b0, b1, a1, a2;
  LaneArray x1, x2, y1, y2;
};

// Where a side's clamps would have acted, it runs with them for clampedSlicesLeft more
// slices before it tries again, and for longer after each try in a row that failed.
struct ClampTries {
  unsigned char clampedSlicesLeft;
  unsigned char overflowsInARow;
};

struct BandBankLanes {
  ResonatorLanes analysis;  // level 1
  FollowerLanes follower;
  ResonatorLanes synthesis;
  LaneArray synthesisLevel;
  // Anti-denormal offsets, +-1e-13, flipped at every sample a filter runs. The
  // analysis resonator and the follower of a lane always run together.
  LaneArray analysisOffset;
  LaneArray synthesisOffset;
  // Each lane's envelope sum since it last restarted (BandBankSlice::sumFrom), carried
  // from slice to slice, so that a sum is the same however its frames are cut.
  LaneArray levelSum;
  // -1 in the lanes of a fixed band, 0 elsewhere.
  alignas(64) long long fixedMask[kBandLanes];
  // -1 in the lanes whose two resonators have finite coefficients and a b0 other than
  // 0: from input without NaN they never make NaN, whatever the input and history.
  alignas(64) long long nanFreeMask[kBandLanes];
  // Kernels whose clamp takes two instructions first run a register without the
  // resonators' clamps and keep it only if no clamp would have acted, each side apart
  // (indexed by the register's first lane). Speed only: both ways give the same samples.
  ClampTries analysisClampTries[kBandLanes];
  ClampTries synthesisClampTries[kBandLanes];
};

// Scratch for a slice of n frames, 64-byte aligned: kBandBankScratchPerFrame x n +
// kBandBankScratchExtra doubles (three inputs, each as value, clamped value and two
// input terms, in left/right pairs, the output pairs, and the output per lane of the
// widest register; every array padded to whole registers).
constexpr int kBandBankScratchPerFrame = 34;
constexpr int kBandBankScratchExtra = 17 * 16;

// One slice of audio for the kernels.
struct BandBankSlice {
  const double* modulator[2];
  const double* carrier[2];
  const double* noise[2];  // read only by the noise bands of "VE-10 Standard"
  double* out[2];          // overwritten with the sum of the bands, in band order
  double* scratch;         // see kBandBankScratchPerFrame, for the kernels' use
  int frames;
  int sumFrom;         // the frame at which the level sums restart from 0 (none: >= frames)
  bool fullBands;      // every band filters the main carrier
  bool noiseBandsRun;  // "VE-10 Standard" only: the noise bands run (noise in the carrier)
  double bias;
  double limit;
  double micLevel;
};

// In "VE-10 Standard" the top bands take the noise carrier; they fill whole
// registers of every kernel width, so the routing is chosen per register.
static_assert(kFirstNoiseBand % 4 == 0 && kNumBands % 4 == 0);

// Each kernel does the same operations in the same order per lane, so every filter
// history, envelope and level sum is the same bit for bit. The vocoder output is summed
// per channel in band order, except by AVX-512, which sums it with fused multiply-adds
// in another order and takes each band's level into its gain law, within 1e-12 of the
// output's level (README).
void runBandBankScalar(BandBankLanes& lanes, const BandBankSlice& slice) noexcept;
void runBandBankSse2(BandBankLanes& lanes, const BandBankSlice& slice) noexcept;
void runBandBankAvx2(BandBankLanes& lanes, const BandBankSlice& slice) noexcept;
void runBandBankAvx512(BandBankLanes& lanes, const BandBankSlice& slice) noexcept;

// The kernel for an instruction set (SimdKernel.h), the scalar one for any other.
using BandBankKernel = void (*)(BandBankLanes&, const BandBankSlice&) noexcept;
BandBankKernel bandBankKernel(SimdKernel kernel);
