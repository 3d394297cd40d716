// The band bank's SIMD kernel, one source for every register width. Included only
// by the kernel translation units (BandBankSse2.cpp, BandBankAvx2.cpp,
// BandBankAvx512.cpp), each of which defines `Isa` for its instruction set inside
// an unnamed namespace before including this file, so every function here is local
// to that unit and built with its flags alone.
//
// A register holds Isa::kWidth lanes (lane = 2 x band + channel), so each register
// covers kWidth / 2 whole bands, left and right. Per register, the analysis
// resonator, follower, band gain and synthesis resonator run fused sample by sample
// with the state in registers. Each lane does exactly the operations of the scalar
// reference in the same order; the output is summed per channel in band order.
//
// Isa provides: kWidth; types V (double vector) and IV (64-bit integer vector of the
// same size); load/store (64-byte aligned lanes); loadPair (one left/right pair
// repeated over the register); addPairs (adds the register's pairs, in order, to
// one left/right pair in memory); max/min with the IEEE semantics of maxpd/minpd.

#pragma once

// Constant in every lane.
inline V splat(double x) { return V{} + x; }

inline V selectBits(V x, IV mask) { return (V)((IV)x & mask); }

inline V absolute(V x) { return (V)((IV)x & (IV{} + 0x7fffffffffffffffLL)); }

// +-64 with the constant first: NaN passes through, as in the scalar form.
inline V clamp64(V v) { return Isa::min(splat(64.0), Isa::max(splat(-64.0), v)); }

// All-ones where the sum is finite; the sums are taken in the scalar reference's order.
inline IV finite(V sum) { return (IV)(absolute(sum) <= splat(1.7976931348623157e308)); }

struct ResonatorRegs {
  V b0a, a1a, a2a, b0b, a1b, a2b;
  V x1a, x2a, y1a, y2a, x1b, x2b, y1b, y2b;

  void load(const ResonatorLanes& r, int o) {
    b0a = Isa::load(r.b0a.v + o), a1a = Isa::load(r.a1a.v + o), a2a = Isa::load(r.a2a.v + o);
    b0b = Isa::load(r.b0b.v + o), a1b = Isa::load(r.a1b.v + o), a2b = Isa::load(r.a2b.v + o);
    x1a = Isa::load(r.x1a.v + o), x2a = Isa::load(r.x2a.v + o);
    y1a = Isa::load(r.y1a.v + o), y2a = Isa::load(r.y2a.v + o);
    x1b = Isa::load(r.x1b.v + o), x2b = Isa::load(r.x2b.v + o);
    y1b = Isa::load(r.y1b.v + o), y2b = Isa::load(r.y2b.v + o);
  }
  void storeHistory(ResonatorLanes& r, int o) const {
    Isa::store(r.x1a.v + o, x1a), Isa::store(r.x2a.v + o, x2a);
    Isa::store(r.y1a.v + o, y1a), Isa::store(r.y2a.v + o, y2a);
    Isa::store(r.x1b.v + o, x1b), Isa::store(r.x2b.v + o, x2b);
    Isa::store(r.y1b.v + o, y1b), Isa::store(r.y2b.v + o, y2b);
  }
  // Resonator::step, lane by lane, for an input x already cleared of NaN and its
  // clamped value (both the same for every band of a channel, so made once).
  V step(V d, V x, V clampedX) {
    const V rx1a = x1a + d, rx2a = x2a + d, ry1a = y1a + d, ry2a = y2a + d;
    const V rx1b = x1b + d, rx2b = x2b + d, ry1b = y1b + d, ry2b = y2b + d;
    const V y = a1a * ry1a + a2a * ry2a + b0a * (x - rx2a);
    x2a = clamp64(rx1a);
    x1a = clampedX;
    y2a = clamp64(ry1a);
    y1a = clamp64(y);
    const V z = a1b * ry1b + a2b * ry2b + b0b * (y - rx2b);
    x2b = clamp64(rx1b);
    x1b = clamp64(y);
    y2b = clamp64(ry1b);
    y1b = clamp64(z);
    return z;
  }
  void clearIfNotFinite() {
    const IV keep = finite(x1a + x2a + y1a + y2a + x1b + x2b + y1b + y2b);
    x1a = selectBits(x1a, keep), x2a = selectBits(x2a, keep);
    y1a = selectBits(y1a, keep), y2a = selectBits(y2a, keep);
    x1b = selectBits(x1b, keep), x2b = selectBits(x2b, keep);
    y1b = selectBits(y1b, keep), y2b = selectBits(y2b, keep);
  }
  // Lanes where `mask` is set take their history from `old`.
  void keepWhere(IV mask, const ResonatorRegs& old) {
    x1a = mask ? old.x1a : x1a, x2a = mask ? old.x2a : x2a;
    y1a = mask ? old.y1a : y1a, y2a = mask ? old.y2a : y2a;
    x1b = mask ? old.x1b : x1b, x2b = mask ? old.x2b : x2b;
    y1b = mask ? old.y1b : y1b, y2b = mask ? old.y2b : y2b;
  }
};

struct FollowerRegs {
  V b0, b1, a1, a2;
  V x1, x2, y1, y2;

  void load(const FollowerLanes& f, int o) {
    b0 = Isa::load(f.b0.v + o), b1 = Isa::load(f.b1.v + o);
    a1 = Isa::load(f.a1.v + o), a2 = Isa::load(f.a2.v + o);
    x1 = Isa::load(f.x1.v + o), x2 = Isa::load(f.x2.v + o);
    y1 = Isa::load(f.y1.v + o), y2 = Isa::load(f.y2.v + o);
  }
  void storeHistory(FollowerLanes& f, int o) const {
    Isa::store(f.x1.v + o, x1), Isa::store(f.x2.v + o, x2);
    Isa::store(f.y1.v + o, y1), Isa::store(f.y2.v + o, y2);
  }
  // Filter::step, lane by lane.
  V step(V d, V x) {
    const V xd = x + d;
    const V x1d = x1 + d, x2d = x2 + d, y1d = y1 + d, y2d = y2 + d;
    const V y = b0 * (x2d + xd) + b1 * x1d + a1 * y1d + a2 * y2d;
    x2 = x1d;
    x1 = xd;
    y2 = y1d;
    y1 = y;
    return y;
  }
  void clearIfNotFinite() {
    const IV keep = finite(x1 + x2 + y1 + y2);
    x1 = selectBits(x1, keep), x2 = selectBits(x2, keep);
    y1 = selectBits(y1, keep), y2 = selectBits(y2, keep);
  }
  void keepWhere(IV mask, const FollowerRegs& old) {
    x1 = mask ? old.x1 : x1, x2 = mask ? old.x2 : x2;
    y1 = mask ? old.y1 : y1, y2 = mask ? old.y2 : y2;
  }
};

// An input of the slice, interleaved left/right and cleared of NaN (as a resonator
// takes it), with its clamped copy (what the resonator keeps as x[n-1]).
struct Pairs {
  const double* value;
  const double* clamped;
};

// One register of lanes over the slice. kHasFixed: some band in it is fixed (its
// analysis side rests, its gain is 1, it filters the main carrier). kNoiseCarrier:
// the register's other bands filter the noise carrier.
template <bool kHasFixed, bool kNoiseCarrier>
void runRegister(BandBankLanes& lanes, int o, const BandBankSlice& s, Pairs modulator,
                 Pairs carrier, Pairs noise, double* outPairs) {
  ResonatorRegs analysis, synthesis;
  FollowerRegs follower;
  analysis.load(lanes.analysis, o);
  synthesis.load(lanes.synthesis, o);
  follower.load(lanes.follower, o);
  const ResonatorRegs analysisBefore = analysis;
  const FollowerRegs followerBefore = follower;
  const V level = Isa::load(lanes.synthesisLevel.v + o);
  const V analysisOffsetBefore = Isa::load(lanes.analysisOffset.v + o);
  V da = analysisOffsetBefore;
  V ds = Isa::load(lanes.synthesisOffset.v + o);
  const IV fixed = Isa::loadMask(lanes.fixedMask + o);
  const V bias = splat(s.bias), limit = splat(s.limit), micLevel = splat(s.micLevel);
  const V zero = splat(0.0), one = splat(1.0);
  V levelSum = zero;

  for (int i = 0; i < s.frames; ++i) {
    const int p = 2 * i;
    const V band = analysis.step(da, Isa::loadPair(modulator.value + p), Isa::loadPair(modulator.clamped + p));
    const V envelope = micLevel * follower.step(da, absolute(band));
    da = -da;
    levelSum += envelope;
    const V v = bias + envelope;
    V gain = v <= zero ? zero : v;
    gain = v >= limit ? limit : gain;
    V x = Isa::loadPair(carrier.value + p);
    V clampedX = Isa::loadPair(carrier.clamped + p);
    if (kHasFixed) gain = fixed ? one : gain;
    if (kNoiseCarrier) {
      x = fixed ? x : Isa::loadPair(noise.value + p);
      clampedX = fixed ? clampedX : Isa::loadPair(noise.clamped + p);
    }
    Isa::addPairs(outPairs + p, synthesis.step(ds, x, clampedX) * level * gain);
    ds = -ds;
  }

  analysis.clearIfNotFinite();
  follower.clearIfNotFinite();
  synthesis.clearIfNotFinite();
  if (kHasFixed) {
    analysis.keepWhere(fixed, analysisBefore);
    follower.keepWhere(fixed, followerBefore);
    da = fixed ? analysisOffsetBefore : da;
  }
  analysis.storeHistory(lanes.analysis, o);
  follower.storeHistory(lanes.follower, o);
  synthesis.storeHistory(lanes.synthesis, o);
  Isa::store(lanes.analysisOffset.v + o, da);
  Isa::store(lanes.synthesisOffset.v + o, ds);
  Isa::store(lanes.levelSum.v + o, levelSum);
}

// Scalar on purpose: NaN becomes 0 and the clamp is the resonator's, value by value.
Pairs interleave(const double* const* channels, double* pairs, int n) {
  double* clamped = pairs + 2 * n;
  for (int i = 0; i < 2 * n; ++i) {
    const double x = channels[i & 1][i >> 1];
    const double v = x == x ? x : 0.0;
    pairs[i] = v;
    clamped[i] = v < -64.0 ? -64.0 : (v > 64.0 ? 64.0 : v);
  }
  return {pairs, clamped};
}

void runKernel(BandBankLanes& lanes, const BandBankSlice& s) {
  constexpr int kBandsPerRegister = Isa::kWidth / 2;
  const int n = s.frames;
  const Pairs modulator = interleave(s.modulator, s.scratch, n);
  const Pairs carrier = interleave(s.carrier, s.scratch + 4 * n, n);
  double* outPairs = s.scratch + 12 * n;
  const bool noiseRegisters = !s.fullBands && s.noiseBandsRun;
  const Pairs noise = noiseRegisters ? interleave(s.noise, s.scratch + 8 * n, n) : carrier;
  for (int i = 0; i < 2 * n; ++i) outPairs[i] = 0.0;

  for (int firstBand = 0; firstBand < kNumBands; firstBand += kBandsPerRegister) {
    const int o = 2 * firstBand;
    const bool noiseBands = !s.fullBands && firstBand >= kFirstNoiseBand;
    if (noiseBands && !noiseRegisters) continue;
    bool hasFixed = false;
    for (int lane = o; lane < o + Isa::kWidth; ++lane) hasFixed |= lanes.fixedMask[lane] != 0;
    if (noiseBands) {
      if (hasFixed)
        runRegister<true, true>(lanes, o, s, modulator, carrier, noise, outPairs);
      else  // no band filters the main carrier here
        runRegister<false, false>(lanes, o, s, modulator, noise, noise, outPairs);
    } else if (hasFixed) {
      runRegister<true, false>(lanes, o, s, modulator, carrier, noise, outPairs);
    } else {
      runRegister<false, false>(lanes, o, s, modulator, carrier, noise, outPairs);
    }
  }

  for (int i = 0; i < n; ++i) {
    s.out[0][i] = outPairs[2 * i];
    s.out[1][i] = outPairs[2 * i + 1];
  }
}
