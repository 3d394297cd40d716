// The band bank's reference kernel: the scalar filter steps that single Resonator and
// Lowpass objects use, band by band, with the left and right lanes of a band run side
// by side (two independent recursions the processor overlaps). The SIMD kernels are
// tested against it bit for bit.
#include <cmath>

#include "dsp/BandBankLanes.h"
#include "dsp/Filter.h"
#include "dsp/Resonator.h"

namespace {

// One lane's filters, copied out of the lanes for the slice and back after it.
struct Lane {
  Resonator::Coefficients analysis, synthesis;
  Filter::Coefficients follower;
  Resonator::History analysisHistory, synthesisHistory;
  Filter::History followerHistory;
  double level, analysisOffset, synthesisOffset;
};

Resonator::Coefficients coefficientsOf(const ResonatorLanes& r, int lane) {
  return {r.b0a.v[lane], r.a1a.v[lane], r.a2a.v[lane], r.b0b.v[lane], r.a1b.v[lane], r.a2b.v[lane]};
}

Resonator::History historyOf(const ResonatorLanes& r, int lane) {
  return {r.x1a.v[lane], r.x2a.v[lane], r.y1a.v[lane], r.y2a.v[lane],
          r.x1b.v[lane], r.x2b.v[lane], r.y1b.v[lane], r.y2b.v[lane]};
}

void store(ResonatorLanes& r, int lane, const Resonator::History& h) {
  r.x1a.v[lane] = h.x1a;
  r.x2a.v[lane] = h.x2a;
  r.y1a.v[lane] = h.y1a;
  r.y2a.v[lane] = h.y2a;
  r.x1b.v[lane] = h.x1b;
  r.x2b.v[lane] = h.x2b;
  r.y1b.v[lane] = h.y1b;
  r.y2b.v[lane] = h.y2b;
}

Lane load(const BandBankLanes& l, int lane) {
  const FollowerLanes& f = l.follower;
  return {coefficientsOf(l.analysis, lane),
          coefficientsOf(l.synthesis, lane),
          {f.a1.v[lane], f.a2.v[lane], f.b0.v[lane], f.b1.v[lane]},
          historyOf(l.analysis, lane),
          historyOf(l.synthesis, lane),
          {f.x1.v[lane], f.x2.v[lane], f.y1.v[lane], f.y2.v[lane]},
          l.synthesisLevel.v[lane],
          l.analysisOffset.v[lane],
          l.synthesisOffset.v[lane]};
}

// Only what the slice changed goes back: a fixed lane's analysis side rested.
void storeSynthesis(BandBankLanes& l, int lane, Lane& s) {
  Resonator::clearIfNotFinite(s.synthesisHistory);
  store(l.synthesis, lane, s.synthesisHistory);
  l.synthesisOffset.v[lane] = s.synthesisOffset;
}

void storeAnalysis(BandBankLanes& l, int lane, Lane& s) {
  Resonator::clearIfNotFinite(s.analysisHistory);
  Filter::clearIfNotFinite(s.followerHistory);
  store(l.analysis, lane, s.analysisHistory);
  FollowerLanes& f = l.follower;
  f.x1.v[lane] = s.followerHistory.x1;
  f.x2.v[lane] = s.followerHistory.x2;
  f.y1.v[lane] = s.followerHistory.y1;
  f.y2.v[lane] = s.followerHistory.y2;
  l.analysisOffset.v[lane] = s.analysisOffset;
}

// The synthesis filter's contribution, level applied: synthesis(x) x level.
double synthesize(Lane& s, double carrier) {
  const double d = s.synthesisOffset;
  s.synthesisOffset = -d;
  return Resonator::step(s.synthesis, s.synthesisHistory, d, carrier) * s.level;
}

// The band's envelope: mic level x follower(|analysis(x)|).
double envelope(Lane& s, double modulator, double micLevel) {
  const double d = s.analysisOffset;
  s.analysisOffset = -d;
  const double band = Resonator::step(s.analysis, s.analysisHistory, d, modulator);
  return micLevel * Filter::step(s.follower, s.followerHistory, d, std::fabs(band));
}

// Band gain from an envelope: bias added, then held within 0 .. limit.
double bandGain(double envelope, const BandBankSlice& s) {
  const double v = s.bias + envelope;
  return v >= s.limit ? s.limit : (v <= 0.0 ? 0.0 : v);
}

// A fixed band: the main carrier through the synthesis filter at constant gain.
void runFixedBand(Lane (&lane)[2], const BandBankSlice& s) {
  for (int i = 0; i < s.frames; ++i) {
    s.out[0][i] += synthesize(lane[0], s.carrier[0][i]);
    s.out[1][i] += synthesize(lane[1], s.carrier[1][i]);
  }
}

void runVocodingBand(Lane (&lane)[2], const double* const carrier[2], const BandBankSlice& s,
                     double (&levelSum)[2]) {
  for (int i = 0; i < s.frames; ++i) {
    if (i == s.sumFrom) levelSum[0] = levelSum[1] = 0.0;
    const double envelopeL = envelope(lane[0], s.modulator[0][i], s.micLevel);
    const double envelopeR = envelope(lane[1], s.modulator[1][i], s.micLevel);
    levelSum[0] += envelopeL;
    levelSum[1] += envelopeR;
    s.out[0][i] += synthesize(lane[0], carrier[0][i]) * bandGain(envelopeL, s);
    s.out[1][i] += synthesize(lane[1], carrier[1][i]) * bandGain(envelopeR, s);
  }
}

}  // namespace

void runBandBankScalar(BandBankLanes& lanes, const BandBankSlice& s) noexcept {
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < s.frames; ++i) s.out[c][i] = 0.0;
  for (int band = 0; band < kNumBands; ++band) {
    const bool noiseBand = !s.fullBands && band >= kFirstNoiseBand;
    if (noiseBand && !s.noiseBandsRun) continue;
    const int left = 2 * band, right = left + 1;
    Lane lane[2] = {load(lanes, left), load(lanes, right)};
    if (lanes.fixedMask[left] != 0) {
      runFixedBand(lane, s);
    } else {
      double levelSum[2] = {lanes.levelSum.v[left], lanes.levelSum.v[right]};
      runVocodingBand(lane, noiseBand ? s.noise : s.carrier, s, levelSum);
      storeAnalysis(lanes, left, lane[0]);
      storeAnalysis(lanes, right, lane[1]);
      lanes.levelSum.v[left] = levelSum[0];
      lanes.levelSum.v[right] = levelSum[1];
    }
    storeSynthesis(lanes, left, lane[0]);
    storeSynthesis(lanes, right, lane[1]);
  }
}
