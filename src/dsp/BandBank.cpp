#include "dsp/BandBank.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "dsp/Filter.h"
#include "dsp/Resonator.h"

// SSE2 double arithmetic is the baseline on every x86 target: the SSE2 kernel is always
// there, and scalar doubles round as the kernels' lanes do (x87 registers would not;
// 32-bit builds use -msse2 -mfpmath=sse, see cmake/i386.cmake).
#if !defined(__SSE2_MATH__)
#error "build with SSE2 double arithmetic (-msse2 -mfpmath=sse on 32-bit x86)"
#endif

BandBankKernel bandBankKernel(SimdKernel kernel) {
  switch (kernel) {
    case SimdKernel::kSse2: return runBandBankSse2;
    case SimdKernel::kAvx2: return runBandBankAvx2;
    case SimdKernel::kAvx512: return runBandBankAvx512;
    default: return runBandBankScalar;
  }
}

namespace {

void setLanes(LaneArray& lanes, int band, double value) {
  assert(band >= 0 && band < kNumBands);
  lanes.v[2 * band] = value;
  lanes.v[2 * band + 1] = value;
}

// Neither section can make NaN from NaN-free input and clamped history: every
// coefficient is finite and b0 is not 0 (0 x infinity would be NaN).
bool cannotMakeNaN(const ResonatorLanes& r, int lane) {
  for (const LaneArray* a : {&r.b0a, &r.a1a, &r.a2a, &r.b0b, &r.a1b, &r.a2b})
    if (!std::isfinite(a->v[lane])) return false;
  return r.b0a.v[lane] != 0.0 && r.b0b.v[lane] != 0.0;
}

void updateNanFreeMask(BandBankLanes& l, int band) {
  for (int lane = 2 * band; lane < 2 * band + 2; ++lane)
    l.nanFreeMask[lane] =
        cannotMakeNaN(l.analysis, lane) && cannotMakeNaN(l.synthesis, lane) ? -1 : 0;
}

void setCoefficients(ResonatorLanes& r, int band, const Resonator::Coefficients& c) {
  setLanes(r.b0a, band, c.b0a);
  setLanes(r.a1a, band, c.a1a);
  setLanes(r.a2a, band, c.a2a);
  setLanes(r.b0b, band, c.b0b);
  setLanes(r.a1b, band, c.a1b);
  setLanes(r.a2b, band, c.a2b);
}

void clearHistory(ResonatorLanes& r) {
  for (LaneArray* a : {&r.x1a, &r.x2a, &r.y1a, &r.y2a, &r.x1b, &r.x2b, &r.y1b, &r.y2b})
    *a = LaneArray{};
}

}  // namespace

BandBank::BandBank() : lanes_(std::make_unique<BandBankLanes>()) { reset(); }

void BandBank::prepare(double sampleRate, int maxFrames, SimdKernel kernel) {
  sampleRate_ = sampleRate;
  // The same size again keeps the scratch (a reset on the audio thread allocates nothing).
  const int frames = std::clamp(maxFrames, 1, kMaxPieceFrames);
  const size_t scratchSize =
      kBandBankScratchPerFrame * static_cast<size_t>(frames) + kBandBankScratchExtra;
  // Room to start the scratch on a 64-byte boundary.
  constexpr size_t kAlignment = 64 / sizeof(double);
  if (!scratchStorage_ || frames != maxFrames_) {
    scratchStorage_.reset(new double[scratchSize + kAlignment]());
    const uintptr_t address = reinterpret_cast<uintptr_t>(scratchStorage_.get());
    scratch_ = scratchStorage_.get() + (-address / sizeof(double)) % kAlignment;
  } else {
    std::fill(scratch_, scratch_ + scratchSize, 0.0);
  }
  maxFrames_ = frames;
  kernel_ = simd::orBest(kernel);
  run_ = bandBankKernel(kernel_);
}

void BandBank::reset() {
  BandBankLanes& l = *lanes_;
  clearHistory(l.analysis);
  clearHistory(l.synthesis);
  for (LaneArray* a : {&l.follower.x1, &l.follower.x2, &l.follower.y1, &l.follower.y2})
    *a = LaneArray{};
  for (int lane = 0; lane < kBandLanes; ++lane) {
    l.analysisOffset.v[lane] = Resonator::kInitialOffset;
    l.synthesisOffset.v[lane] = Resonator::kInitialOffset;
    l.levelSum.v[lane] = 0.0;
    l.analysisClampTries[lane] = l.synthesisClampTries[lane] = ClampTries{};
  }
  for (int band = 0; band < kNumBands; ++band) {
    setAnalysisFrequency(band, FREQUENCY[band]);
    setSynthesisFrequency(band, FREQUENCY[band]);
    setSynthesisLevel(band, 1.0);
  }
  setFollowerSpeed(1.0);
}

void BandBank::setAnalysisFrequency(int band, double hz) {
  if (band < 0 || band >= kNumBands) return;
  analysisHz_[band] = hz;
  setCoefficients(lanes_->analysis, band, Resonator::design(sampleRate_, hz));
  updateNanFreeMask(*lanes_, band);
}

void BandBank::setSynthesisFrequency(int band, double hz) {
  if (band < 0 || band >= kNumBands) return;
  synthesisHz_[band] = hz;
  setCoefficients(lanes_->synthesis, band, Resonator::design(sampleRate_, hz));
  updateNanFreeMask(*lanes_, band);
}

void BandBank::setSynthesisLevel(int band, double level) {
  if (band >= 0 && band < kNumBands) setLanes(lanes_->synthesisLevel, band, level);
}

void BandBank::setFixed(int band, bool fixed) {
  if (band < 0 || band >= kNumBands) return;
  lanes_->fixedMask[2 * band] = lanes_->fixedMask[2 * band + 1] = fixed ? -1 : 0;
}

void BandBank::setFollowerSpeed(double scale) {
  followerScale_ = scale;
  FollowerLanes& f = lanes_->follower;
  for (int band = 0; band < kNumBands; ++band) {
    const Filter::Coefficients c = Lowpass::design(sampleRate_, LAG[band] * scale);
    setLanes(f.b0, band, c.b0);
    setLanes(f.b1, band, c.b1);
    setLanes(f.a1, band, c.a1);
    setLanes(f.a2, band, c.a2);
  }
}

bool BandBank::isAtRest(double level) const noexcept {
  const BandBankLanes& l = *lanes_;
  const ResonatorLanes* resonators[] = {&l.analysis, &l.synthesis};
  for (const ResonatorLanes* r : resonators)
    for (const LaneArray* a :
         {&r->x1a, &r->x2a, &r->y1a, &r->y2a, &r->x1b, &r->x2b, &r->y1b, &r->y2b})
      for (double v : a->v)
        if (!(std::fabs(v) <= level)) return false;
  const FollowerLanes& f = l.follower;
  for (const LaneArray* a : {&f.x1, &f.x2, &f.y1, &f.y2})
    for (double v : a->v)
      if (!(std::fabs(v) <= level)) return false;
  return true;
}

double BandBank::process(const double* const modulator[2], const double* const carrier[2],
                         const double* const noise[2], double* const out[2], int n,
                         const Settings& settings, int sumFrom) noexcept {
  if (scratch_ == nullptr) {
    for (int c = 0; c < 2; ++c) std::fill(out[c], out[c] + n, 0.0);
    return 0.0;
  }
  for (int done = 0; done < n; done += maxFrames_) {
    const double* m[2] = {modulator[0] + done, modulator[1] + done};
    const double* c[2] = {carrier[0] + done, carrier[1] + done};
    const double* z[2] = {noise[0] + done, noise[1] + done};
    double* o[2] = {out[0] + done, out[1] + done};
    const int frames = std::min(maxFrames_, n - done);
    const int pieceSumFrom = sumFrom >= done ? sumFrom - done : frames;
    processPiece(m, c, z, o, frames, settings, pieceSumFrom);
  }
  // The vocoding band-channels' envelope sums, in lane order. The others (fixed, or
  // noise bands without noise) sum nothing, so that they start from 0 when they vocode.
  const int runningLanes =
      settings.fullBands || settings.noiseBandsRun ? kBandLanes : 2 * kFirstNoiseBand;
  double levelSum = 0.0;
  for (int lane = 0; lane < kBandLanes; ++lane) {
    double& sum = lanes_->levelSum.v[lane];
    if (lane < runningLanes && lanes_->fixedMask[lane] == 0)
      levelSum += sum;
    else
      sum = 0.0;
  }
  return levelSum;
}

void BandBank::processPiece(const double* const modulator[2], const double* const carrier[2],
                            const double* const noise[2], double* const out[2], int n,
                            const Settings& settings, int sumFrom) noexcept {
  const BandBankSlice slice{{modulator[0], modulator[1]},
                            {carrier[0], carrier[1]},
                            {noise[0], noise[1]},
                            {out[0], out[1]},
                            scratch_,
                            n,
                            sumFrom,
                            settings.fullBands,
                            settings.noiseBandsRun,
                            settings.bias,
                            settings.limit,
                            settings.micLevel};
  run_(*lanes_, slice);
}
