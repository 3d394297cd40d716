#include "BandBankParts.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "CoreClock.h"
#include "dsp/Filter.h"
#include "dsp/Resonator.h"

namespace {

void setLane(LaneArray& a, int lane, double v) { a.v[lane] = v; }

// Every band at its default frequency and corner, level 1, none fixed.
void defaultBank(BandBankLanes& l, double rate) {
  for (int lane = 0; lane < kBandLanes; ++lane) {
    const int band = lane / 2;
    for (ResonatorLanes* r : {&l.analysis, &l.synthesis}) {
      const Resonator::Coefficients c = Resonator::design(rate, FREQUENCY[band]);
      setLane(r->b0a, lane, c.b0a), setLane(r->a1a, lane, c.a1a), setLane(r->a2a, lane, c.a2a);
      setLane(r->b0b, lane, c.b0b), setLane(r->a1b, lane, c.a1b), setLane(r->a2b, lane, c.a2b);
    }
    const Filter::Coefficients f = Lowpass::design(rate, LAG[band]);
    setLane(l.follower.b0, lane, f.b0), setLane(l.follower.b1, lane, f.b1);
    setLane(l.follower.a1, lane, f.a1), setLane(l.follower.a2, lane, f.a2);
    setLane(l.synthesisLevel, lane, 1.0);
    setLane(l.analysisOffset, lane, Resonator::kInitialOffset);
    setLane(l.synthesisOffset, lane, Resonator::kInitialOffset);
    l.fixedMask[lane] = 0;
    l.nanFreeMask[lane] = -1;
  }
}

}  // namespace

BandBankPartTimes timeBandBankParts(SimdKernel kernel, double sampleRate, int sliceFrames) {
  void (*run)(BandBankLanes&, const BandBankSlice&, BandBankPart) =
      kernel == SimdKernel::kAvx512 ? runBandBankPartAvx512
      : kernel == SimdKernel::kAvx2 ? runBandBankPartAvx2
                                    : runBandBankPartSse2;
  auto lanes = std::make_unique<BandBankLanes>();
  std::vector<double> scratch(kBandBankScratchPerFrame * static_cast<size_t>(sliceFrames) +
                              kBandBankScratchExtra + 8);
  double* aligned = scratch.data() + (-reinterpret_cast<uintptr_t>(scratch.data()) / 8) % 8;
  std::vector<double> in[6], out[2];
  uint32_t seed = 1;
  for (auto& v : in) {
    v.resize(static_cast<size_t>(sliceFrames));
    for (double& x : v) {
      seed = seed * 1664525u + 1013904223u;
      x = 0.5 * (static_cast<double>(seed) / 2147483648.0 - 1.0);
    }
  }
  for (auto& v : out) v.resize(static_cast<size_t>(sliceFrames));
  const BandBankSlice slice{{in[0].data(), in[1].data()},
                            {in[2].data(), in[3].data()},
                            {in[4].data(), in[5].data()},
                            {out[0].data(), out[1].data()},
                            aligned,
                            sliceFrames,
                            0,
                            true,
                            false,
                            0.0,
                            10.0,
                            1.0};
  auto secondsPerFrame = [&](BandBankPart part) {
    double best = 1e9;
    for (int repeat = 0; repeat < 5; ++repeat) {
      defaultBank(*lanes, sampleRate);
      const int slices = 20000 / sliceFrames + 1;
      const double start = cpuSeconds();
      for (int s = 0; s < slices; ++s) run(*lanes, slice, part);
      const double perFrame = (cpuSeconds() - start) / (static_cast<double>(slices) * sliceFrames);
      if (perFrame < best) best = perFrame;
    }
    return best;
  };
  return {secondsPerFrame(BandBankPart::kWhole), secondsPerFrame(BandBankPart::kAnalysis),
          secondsPerFrame(BandBankPart::kSynthesis)};
}
