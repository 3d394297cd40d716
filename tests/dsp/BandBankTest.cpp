// Every SIMD kernel against the scalar reference over a table of scenarios; slices of
// awkward lengths run through two banks fed identically. Level sums match bit for bit,
// and so do the SSE2 and AVX2 outputs. AVX-512 sums the bands with fused multiply-adds
// in another order: each output sample s' of it lies within 1e-12 x max(|s|, the peak
// |s| over the 64 frames around it) of the reference's s (a relative bound on a sample
// near a zero crossing would be meaningless; the rounding differences scale with the
// bands' level, which the neighbourhood's peak stands for), and is NaN or infinite
// exactly where s is. A NaN matches any NaN: which operand's NaN an addition passes on
// (and so its sign) is the compiler's choice of operand order.
#include "dsp/BandBank.h"
#include "dsp/BandBankLanes.h"
#include "dsp/Ensemble.h"
#include "dsp/Filter.h"
#include "dsp/Resonator.h"

#include <gtest/gtest.h>

#include "support/TestSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

void PrintTo(SimdKernel kernel, std::ostream* os) { *os << simd::name(kernel); }

namespace {

constexpr double kRate = 44100.0;
constexpr int kMaxFrames = 1024;
constexpr int kSliceLengths[] = {44, 1, 17, 15, 999, 44, 3};
constexpr double kInf = std::numeric_limits<double>::infinity();

// Deterministic noise in -1..1.
struct Noise {
  uint32_t seed;
  double next() {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed) / 2147483648.0 - 1.0;
  }
};

// What each slice sees: inputs per sample and changes between slices.
struct Scenario {
  const char* name;
  BandBank::Settings settings;
  // Changes before slice s (settings and bank); may be empty.
  std::function<void(int s, BandBank::Settings&, BandBank&)> between;
  // Modulator, carrier and noise sample t of channel c.
  std::function<double(int t, int c, Noise&)> modulator, carrier;
  int slices = 60;
  double rate = kRate;
};

double vowel(int t, int c, Noise& noise) {
  const double x = t / kRate;
  return 0.3 * std::sin(2 * M_PI * 150 * x) + 0.2 * std::sin(2 * M_PI * 700 * x + c) +
         0.1 * std::sin(2 * M_PI * 2400 * x) + 0.05 * noise.next();
}

double carrierNoise(int, int, Noise& noise) { return 0.5 * noise.next(); }

// Settings {fullBands, noiseBandsRun}.
const BandBank::Settings kStandard{false, true}, kWithoutNoise{}, kFullBands{true};

void fixBands(int s, BandBank::Settings&, BandBank& bank) {
  if (s == 0)
    for (int band : {0, 3, 16, 19}) bank.setFixed(band, true);
}

const Scenario kScenarios[] = {
    {"StandardWithNoise", kStandard, nullptr, vowel, carrierNoise},
    {"StandardWithoutNoise", kWithoutNoise, nullptr, vowel, carrierNoise},
    {"FullBands", kFullBands, nullptr, vowel, carrierNoise},
    {"FixedBandsFull", kFullBands, fixBands, vowel, carrierNoise},
    {"BiasLimitAndSpeedChanges", kFullBands,
     [](int s, BandBank::Settings& settings, BandBank& bank) {
       settings.bias = (s % 5 - 2) * 0.7;
       settings.limit = 1.0 + s % 10;
       settings.micLevel = 0.5 * (s % 4);
       bank.setFollowerSpeed(std::pow(2.0, (s % 9 - 4) * 0.5));
       bank.setFixed(s % kNumBands, s % 3 == 0);
     },
     vowel, carrierNoise},
    {"RetunedBands", kStandard,
     [](int s, BandBank::Settings&, BandBank& bank) {
       bank.setAnalysisFrequency(s % kNumBands, 100.0 + 150.0 * s);
       bank.setSynthesisFrequency((s + 7) % kNumBands, 16000.0 - 200.0 * s);
       bank.setSynthesisLevel(s % kNumBands, 0.1 * (s % 21));
       // A band whose filters hold NaN for a while: the clamps must pass NaN on.
       bank.setSynthesisFrequency(5, s % 7 == 3 ? std::nan("") : 600.0);
     },
     vowel, carrierNoise},
    {"ClippingBursts", kFullBands, nullptr,
     [](int t, int c, Noise& n) { return (t / 300) % 3 == 1 ? 1000.0 * n.next() : vowel(t, c, n); },
     [](int t, int, Noise& n) {
       return (t / 500) % 4 == 2 ? (t % 2 ? 1e6 : -1e6) : 0.5 * n.next();
     }},
    {"LongSilence", kStandard, nullptr,
     [](int t, int c, Noise& n) { return t < 2000 ? vowel(t, c, n) : 0.0; },
     [](int t, int, Noise& n) { return t < 3000 ? n.next() : 0.0; }, 400},
    // Every parameter at the ends of its range in turn, the mode and the noise switching
    // between slices (so bands rest and their offsets fall out of step with the others).
    {"ParameterExtremesAndSwitching", kFullBands,
     [](int s, BandBank::Settings& settings, BandBank& bank) {
       settings.fullBands = s % 4 < 2;
       settings.noiseBandsRun = s % 3 != 0;
       settings.bias = s % 2 ? 2.0 : -2.0;
       settings.limit = s % 5 < 2 ? 1.0 : 10.0;
       settings.micLevel = s % 7 < 3 ? 0.0 : 2.0;
       bank.setFollowerSpeed(s % 6 < 3 ? 0.25 : 4.0);
       const int band = (3 * s) % kNumBands;
       bank.setAnalysisFrequency(band, s % 2 ? 16.0 : 16000.0);
       bank.setSynthesisFrequency(kNumBands - 1 - band, s % 3 ? 16000.0 : 16.0);
       bank.setSynthesisLevel(band, s % 4 ? 2.0 : 0.0);
       bank.setFixed((5 * s) % kNumBands, s % 5 == 1);
     },
     [](int t, int c, Noise& n) { return (t / 700) % 2 ? 3.0 * vowel(t, c, n) : vowel(t, c, n); },
     carrierNoise, 80},
    // Without a sample rate every coefficient is 0: 0 x infinity makes NaN in the
    // resonators, which the clamps must pass on.
    {"NoSampleRateInfiniteInput", kFullBands, nullptr,
     [](int t, int c, Noise& n) { return t % 50 == 7 ? kInf : vowel(t, c, n); },
     [](int t, int, Noise& n) { return t % 70 == 9 ? -kInf : n.next(); }, 20, 0.0},
    // Silenced bands while the modulator reaches infinity: each gives 0 x gain, as in the
    // reference, never 0 x infinity.
    {"SilencedBandsInfiniteInput", kFullBands,
     [](int s, BandBank::Settings&, BandBank& bank) {
       if (s == 0)
         for (int band : {2, 9, 13}) bank.setSynthesisLevel(band, 0.0);
     },
     [](int t, int c, Noise& n) { return t % 613 == 11 ? kInf : vowel(t, c, n); }, carrierNoise},
    {"NotFiniteInputs", kStandard, fixBands,
     [](int t, int c, Noise& n) {
       return t % 997 == 5 ? std::nan("") : t % 1499 == 7 ? (c ? -kInf : kInf) : vowel(t, c, n);
     },
     [](int t, int, Noise& n) {
       return t % 1201 == 3 ? kInf : t % 877 == 9 ? std::nan("") : n.next();
     }},
};

// The same bits, or NaN both.
bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b); }

constexpr double kFusedBound = 1e-12;
constexpr int kLevelWindow = 64;

// Index of the first sample of `kernel` outside its bound around `reference`, or -1.
int firstDifference(const std::vector<double>& reference, const std::vector<double>& kernel,
                    bool exact) {
  const int n = static_cast<int>(reference.size());
  for (int i = 0; i < n; ++i) {
    const double r = reference[i], k = kernel[i];
    if (same(r, k)) continue;
    if (exact || !std::isfinite(r) || !std::isfinite(k)) return i;
    double level = std::fabs(r);
    for (int j = std::max(0, i - kLevelWindow / 2); j < std::min(n, i + kLevelWindow / 2); ++j)
      if (std::isfinite(reference[j])) level = std::max(level, std::fabs(reference[j]));
    if (!(std::fabs(k - r) <= kFusedBound * level)) return i;
  }
  return -1;
}

struct Case {
  SimdKernel kernel;
  const Scenario* scenario;
  // AVX-512 sums the output with fused multiply-adds in another order, the levels in the gains.
  bool exact() const { return kernel != SimdKernel::kAvx512; }
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << simd::name(c.kernel) << "_" << c.scenario->name;
}

class BandBankKernels : public ::testing::TestWithParam<Case> {};

TEST_P(BandBankKernels, MatchScalarReference) {
  const Case& c = GetParam();
  if (!simd::isSupported(c.kernel))
    GTEST_SKIP() << "this processor has no " << simd::name(c.kernel) << "; kernel not run";
  const Scenario& sc = *c.scenario;
  BandBank reference, bank;
  reference.prepare(sc.rate, kMaxFrames, SimdKernel::kScalar);
  bank.prepare(sc.rate, kMaxFrames, c.kernel);
  ASSERT_EQ(bank.kernel(), c.kernel);
  reference.reset();
  bank.reset();
  BandBank::Settings settings = sc.settings;
  Noise modulatorNoise{1}, carrierNoise{2}, noiseNoise{3};
  std::vector<double> in[6], out[4], render[4];
  int t = 0;
  for (int s = 0; s < sc.slices; ++s) {
    const int n = kSliceLengths[s % std::size(kSliceLengths)];
    if (sc.between)
      for (BandBank* b : {&reference, &bank}) sc.between(s, settings, *b);
    for (auto& v : in) v.assign(n, 0.0);
    for (auto& v : out) v.assign(n, 12345.0);
    for (int i = 0; i < n; ++i, ++t)
      for (int ch = 0; ch < 2; ++ch) {
        in[ch][i] = sc.modulator(t, ch, modulatorNoise);
        in[2 + ch][i] = sc.carrier(t, ch, carrierNoise);
        in[4 + ch][i] = 0.3 * noiseNoise.next();
      }
    const double* mod[2] = {in[0].data(), in[1].data()};
    const double* car[2] = {in[2].data(), in[3].data()};
    const double* noise[2] = {in[4].data(), in[5].data()};
    double* refOut[2] = {out[0].data(), out[1].data()};
    double* kernelOut[2] = {out[2].data(), out[3].data()};
    // The level sum restarts at the first frame, at a frame inside, or goes on.
    const int sumFrom = (s % 3 == 0) ? 0 : (s % 3 == 1) ? n : n / 2;
    const double refLevel = reference.process(mod, car, noise, refOut, n, settings, sumFrom);
    const double level = bank.process(mod, car, noise, kernelOut, n, settings, sumFrom);
    ASSERT_TRUE(same(refLevel, level)) << "slice " << s;
    for (int k = 0; k < 4; ++k) render[k].insert(render[k].end(), out[k].begin(), out[k].end());
  }
  for (int ch = 0; ch < 2; ++ch)
    EXPECT_EQ(firstDifference(render[ch], render[2 + ch], c.exact()), -1) << "channel " << ch;
}

std::vector<Case> allCases() {
  std::vector<Case> cases;
  for (SimdKernel kernel : {SimdKernel::kSse2, SimdKernel::kAvx2, SimdKernel::kAvx512})
    for (const Scenario& scenario : kScenarios) cases.push_back({kernel, &scenario});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, BandBankKernels, ::testing::ValuesIn(allCases()),
                         ::testing::PrintToStringParamName());

// The kernels leave the resonators' clamps out while no output comes near them. A
// history held at the clamp from the slice before still counts: here it is +-64 in every
// lane, the sections' outputs stay near 32, and only the clamp of 64 + 1e-13 at the first
// frame keeps the second frame the same as the reference's.
class BandBankHistoryAtTheClamp : public ::testing::TestWithParam<SimdKernel> {};

TEST_P(BandBankHistoryAtTheClamp, StillClampsASliceOfLowOutput) {
  const SimdKernel kernel = GetParam();
  if (!simd::isSupported(kernel)) GTEST_SKIP() << "kernel not run on this processor";
  auto lanes = std::make_unique<BandBankLanes>();
  for (ResonatorLanes* r : {&lanes->analysis, &lanes->synthesis})
    for (int lane = 0; lane < kBandLanes; ++lane) {
      r->b0a.v[lane] = r->b0b.v[lane] = 0.01;
      r->a2a.v[lane] = r->a2b.v[lane] = 0.5;
      r->y1a.v[lane] = r->y1b.v[lane] = lane % 3 ? 64.0 : -64.0;
      r->y2a.v[lane] = r->y2b.v[lane] = -r->y1a.v[lane];
      r->x1b.v[lane] = r->y1a.v[lane], r->x2b.v[lane] = r->y2a.v[lane];  // section b's input
    }
  for (int lane = 0; lane < kBandLanes; ++lane) {
    lanes->follower.b0.v[lane] = lanes->follower.b1.v[lane] = 0.1;
    lanes->follower.a1.v[lane] = 0.5;
    lanes->synthesisLevel.v[lane] = 1.0;
    lanes->analysisOffset.v[lane] = lanes->synthesisOffset.v[lane] = 1e-13;
    lanes->nanFreeMask[lane] = -1;
  }
  auto reference = std::make_unique<BandBankLanes>(*lanes);

  constexpr int kFrames = 8;
  std::vector<double> input(kFrames, 0.01), out[4];
  for (auto& v : out) v.assign(kFrames, 0.0);
  std::vector<double> scratch(kBandBankScratchPerFrame * kFrames + kBandBankScratchExtra + 8);
  BandBankSlice slice{};
  for (int c = 0; c < 2; ++c) slice.modulator[c] = slice.carrier[c] = slice.noise[c] = input.data();
  slice.scratch = scratch.data() + (-reinterpret_cast<uintptr_t>(scratch.data()) / 8) % 8;
  slice.frames = kFrames;
  slice.fullBands = true;
  slice.limit = slice.micLevel = 1.0;
  slice.out[0] = out[0].data(), slice.out[1] = out[1].data();
  bandBankKernel(SimdKernel::kScalar)(*reference, slice);
  slice.out[0] = out[2].data(), slice.out[1] = out[3].data();
  bandBankKernel(kernel)(*lanes, slice);
  const bool exact = kernel != SimdKernel::kAvx512;
  for (int ch = 0; ch < 2; ++ch)
    EXPECT_EQ(firstDifference(out[ch], out[2 + ch], exact), -1) << "channel " << ch;
  for (auto member :
       {&ResonatorLanes::y1a, &ResonatorLanes::y2a, &ResonatorLanes::y1b, &ResonatorLanes::y2b})
    for (int lane = 0; lane < kBandLanes; ++lane)
      EXPECT_TRUE(same((reference->synthesis.*member).v[lane], (lanes->synthesis.*member).v[lane]))
          << "lane " << lane;
}

INSTANTIATE_TEST_SUITE_P(Kernels, BandBankHistoryAtTheClamp,
                         ::testing::Values(SimdKernel::kSse2, SimdKernel::kAvx2,
                                           SimdKernel::kAvx512),
                         ::testing::PrintToStringParamName());

// With a silent modulator every band's gain is clamp(bias, 0, limit): the output is
// that multiple of the output of the same bank with every band fixed (gain 1). The
// fixed bank takes slices of at most 17 frames, so it runs each slice in pieces.
class BandBankGain : public ::testing::TestWithParam<SimdKernel> {};

TEST_P(BandBankGain, BiasIsHeldWithinZeroAndTheLimit) {
  if (!simd::isSupported(GetParam())) GTEST_SKIP() << "kernel not run on this processor";
  for (const auto& c : {BandBank::Settings{true, false, 0.5, 10.0},
                        {true, false, 3.0, 10.0},
                        {true, false, -1.0, 10.0},
                        {true, false, 3.0, 2.0},
                        {true, false, -1.0, 2.0}}) {
    const double gain = std::clamp(c.bias, 0.0, c.limit);
    SCOPED_TRACE(testing::Message() << "bias " << c.bias << ", limit " << c.limit);
    BandBank vocoding, fixed;
    for (BandBank* bank : {&vocoding, &fixed}) {
      bank->prepare(kRate, bank == &fixed ? 17 : 64, GetParam());
      bank->reset();
    }
    for (int band = 0; band < kNumBands; ++band) fixed.setFixed(band, true);
    Noise noise{5};
    std::vector<double> silence(64, 0.0), carrier(64), out[4];
    for (int slice = 0; slice < 20; ++slice) {
      for (double& x : carrier) x = noise.next();
      for (auto& v : out) v.assign(64, 0.0);
      const double* mod[2] = {silence.data(), silence.data()};
      const double* car[2] = {carrier.data(), carrier.data()};
      double* vocoded[2] = {out[0].data(), out[1].data()};
      double* passed[2] = {out[2].data(), out[3].data()};
      vocoding.process(mod, car, mod, vocoded, 64, c);
      fixed.process(mod, car, mod, passed, 64, c);
      for (int i = 0; i < 64; ++i)
        ASSERT_NEAR(out[0][i], gain * out[2][i], 1e-9 * (1.0 + std::fabs(out[2][i]))) << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, BandBankGain, ::testing::ValuesIn(simd::kKernels),
                         ::testing::PrintToStringParamName());

TEST(BandBank, SettersIgnoreBandsOutsideTheBank) {
  BandBank bank;
  bank.prepare(kRate, 64, SimdKernel::kScalar);
  for (int band : {-1, kNumBands}) {
    bank.setAnalysisFrequency(band, 1000.0);
    bank.setSynthesisFrequency(band, 1000.0);
    bank.setSynthesisLevel(band, 0.5);
    bank.setFixed(band, true);
  }
  for (int band = 0; band < kNumBands; ++band) {
    SCOPED_TRACE(band);
    EXPECT_EQ(bank.analysisFrequency(band), FREQUENCY[band]);
    EXPECT_EQ(bank.synthesisFrequency(band), FREQUENCY[band]);
    EXPECT_EQ(bank.synthesisLevel(band), 1.0);
    EXPECT_FALSE(bank.fixed(band));
  }
}

TEST(BandBank, EnvironmentNamesTheKernelElseTheBestIsChosen) {
  setEnvironment("ZORQ_SIMD", "scalar");
  EXPECT_EQ(simd::fromEnvironment(), SimdKernel::kScalar);
  setEnvironment("ZORQ_SIMD", "no-such-kernel");
  EXPECT_EQ(simd::fromEnvironment(), simd::best());
  unsetEnvironment("ZORQ_SIMD");
  EXPECT_TRUE(simd::isSupported(simd::best()));
}

// Steady-state RMS gain of a unit sine through `process`.
template <typename Unit>
double sineGain(Unit& unit, double hz, int settle = 20000, int measure = 20000) {
  double in2 = 0.0, out2 = 0.0;
  for (int i = 0; i < settle + measure; ++i) {
    const double x = std::sin(2.0 * M_PI * hz * i / kRate);
    const double y = unit.process(x);
    if (i >= settle) {
      in2 += x * x;
      out2 += y * y;
    }
  }
  return std::sqrt(out2 / in2);
}

TEST(Resonator, PeaksNearItsBandAndRejectsFarFrequencies) {
  const auto gainAt = [](double hz) {
    Resonator r;
    r.init(kRate, 1000.0);
    return sineGain(r, hz);
  };
  const double atBand = gainAt(910.0);  // between the two section centres
  EXPECT_GT(atBand, 10.0);              // two resonant sections of Q ~7 in series
  EXPECT_GT(atBand, 20.0 * gainAt(2000.0));
  EXPECT_GT(atBand, 20.0 * gainAt(455.0));
}

// The history is held within +-64: a huge tone at the band centre comes out at a
// bounded level instead of the filters' full gain (about 50) times its amplitude. NaN
// enters as zero.
TEST(Resonator, HugeTonesAreBoundedAndNotANumberEntersAsZero) {
  Resonator r, a, b;
  for (Resonator* each : {&a, &b}) each->init(kRate, 700.0);
  r.init(kRate, 300.0);
  double peak = 0.0;
  for (int i = 0; i < 20000; ++i) {
    const double y = r.process(1e4 * std::sin(2 * M_PI * 280.0 * i / kRate));
    ASSERT_TRUE(std::isfinite(y));
    peak = std::max(peak, std::fabs(y));
  }
  EXPECT_LT(peak, 200.0);
  for (int i = 0; i < 300; ++i) {
    const double x = std::sin(i * 0.2);
    EXPECT_EQ(a.process(i == 10 ? std::nan("") : x), b.process(i == 10 ? 0.0 : x));
  }
}

// Centres and corners above 0.45 x the rate act as 0.45 x the rate.
TEST(FilterDesign, FrequenciesAreHeldBelowNyquist) {
  for (double rate : {1000.0, 8000.0, 44100.0}) {
    SCOPED_TRACE(rate);
    const double highest = 0.45 * rate;
    for (double hz : {0.46 * rate, 0.5 * rate, 16000.0 + rate}) {
      const Resonator::Coefficients a = Resonator::design(rate, hz),
                                    b = Resonator::design(rate, highest);
      EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << hz;
      const Filter::Coefficients c = Lowpass::design(rate, hz), d = Lowpass::design(rate, highest);
      EXPECT_EQ(std::memcmp(&c, &d, sizeof c), 0) << hz;
    }
    EXPECT_NE(Resonator::design(rate, 0.44 * rate).a1a, Resonator::design(rate, highest).a1a);
  }
}

// Both are 3 dB down at the corner and 12 dB per octave beyond it, on their own sides.
TEST(ButterworthFilter, CornersAndSlopes) {
  Lowpass lp;
  Highpass hp;
  lp.init(kRate, 1000.0);
  hp.init(kRate, 1000.0);
  for (double corner : {sineGain(lp, 1000.0), sineGain(hp, 1000.0)})
    EXPECT_NEAR(corner, std::sqrt(0.5), 0.01);
  EXPECT_LT(sineGain(lp, 8000.0), 0.02);
  EXPECT_LT(sineGain(hp, 125.0), 0.02);
  EXPECT_NEAR(sineGain(lp, 62.5), 1.0, 1e-3);
}

// Silent before the first reset; without ticks the delays stay inside the line.
TEST(Ensemble, SilentBeforeTheFirstResetAndDelaysStayInsideTheLineWithoutTicks) {
  Ensemble ensemble;
  ensemble.update();
  EXPECT_EQ(ensemble.process(1.0), 0.0);
  ensemble.setSampleRate(44100.0);
  ensemble.update();
  for (int i = 0; i < 100000; ++i) ASSERT_TRUE(std::isfinite(ensemble.process(std::sin(i * 0.01))));
  EXPECT_LE(ensemble.delayA(), ensemble.length() - 1);
  EXPECT_LE(ensemble.delayB(), ensemble.length() - 1);
}

// Each tap against the line as a plain history of the filtered input: the sample
// floor(d) behind the newest, interpolated towards the one after it (at d < 1, the
// oldest the line holds). The delays sweep past the write position, so the read
// indexes wrap round both ends of the line, and the write position wraps each length.
TEST(Ensemble, TapsReadTheLineAsAHistoryWhereverTheIndexesWrap) {
  const double rate = 44100.0;
  const int tick = 44;
  Ensemble ensemble;
  ensemble.setSampleRate(rate);
  const int length = ensemble.length();
  Lowpass filter;
  filter.init(rate, 7000.0);
  std::vector<double> history;
  auto sampleAt = [&](long t) { return t >= 0 ? history[static_cast<size_t>(t)] : 0.0; };
  auto tap = [&](long n, double delay) {
    const long whole = static_cast<long>(delay);
    const double fraction = delay - std::floor(delay);
    const double newer = sampleAt(n - whole);
    const double older = sampleAt(whole >= 1 ? n - whole + 1 : n + 1 - length);
    return (newer - older) * fraction + older;
  };
  int readsAcrossTheEnd = 0;
  for (long n = 0; n < 6L * length; ++n) {
    if (n % tick == 0) ensemble.update();
    const double x =
        std::sin(0.05 * static_cast<double>(n)) + 0.3 * std::sin(0.31 * static_cast<double>(n));
    history.push_back(filter.process(x));
    const double delayA = ensemble.delayA(), delayB = ensemble.delayB();
    readsAcrossTheEnd += n % length == static_cast<long>(delayA) - 1;
    const double expected = (history.back() + tap(n, delayA) + tap(n, delayB)) * 0.5;
    ASSERT_NEAR(ensemble.process(x), expected, 1e-12)
        << "sample " << n << " of a " << length << "-sample line";
  }
  EXPECT_GT(readsAcrossTheEnd, 0);  // the second read index wrapped to 0 that often
}

// An ensemble that coasted through the ticks while off and caught up when switched on
// between two ticks plays the same samples as one updated at every tick: after no
// coasted tick (catchUp then changes nothing), one, and enough for both LFOs to wrap.
class EnsembleCoasting : public ::testing::TestWithParam<int> {};

TEST_P(EnsembleCoasting, CatchingUpMatchesUpdatingAtEveryTick) {
  const int offTicks = GetParam();
  Ensemble updated, coasted;
  for (Ensemble* e : {&updated, &coasted}) {
    e->rate1 = 0.9;
    e->rate2 = 7.0;
    e->setSampleRate(44100.0);
  }
  int t = 0;
  auto play = [&](int ticks) {
    for (int k = 0; k < ticks; ++k) {
      updated.update(), coasted.update();
      for (int i = 0; i < 44; ++i, ++t) {
        const double x = std::sin(0.05 * t);
        ASSERT_EQ(coasted.process(x), updated.process(x)) << "sample " << t;
      }
    }
  };
  play(30);
  for (int k = 0; k < offTicks; ++k) updated.update(), coasted.coast();
  coasted.catchUp();  // on again, 20 frames into the window
  for (int i = 0; i < 20; ++i) ASSERT_EQ(coasted.process(0.5), updated.process(0.5)) << i;
  play(30);
}

INSTANTIATE_TEST_SUITE_P(OffTicks, EnsembleCoasting, ::testing::Values(0, 1, 400));

// The stereo kernels (the scalar one is each channel's block form) against each channel's
// sample form, bit for bit, at rates with even and odd line lengths, the extreme rates of
// both LFOs and odd tick spacings (so the delays sweep the whole line, both read indexes
// wrap round its end, and the delays hit their limits), with infinite and NaN input,
// which enters as silence, between ordinary signal. A sleeping engine's skip moves the
// delays exactly as the kernels do.
struct EnsembleCase {
  double sampleRate;
  double rate1, rate2;  // Hz, left; the right channel's are 1.3 times them
};

class EnsembleKernels : public ::testing::TestWithParam<std::tuple<SimdKernel, EnsembleCase>> {};

TEST_P(EnsembleKernels, MatchScalarReferenceBitForBit) {
  const auto [kernel, c] = GetParam();
  if (!simd::isSupported(kernel)) GTEST_SKIP() << "kernel not run on this processor";
  Ensemble reference[2], paired[2], skipped[2];
  for (int ch = 0; ch < 2; ++ch)
    for (Ensemble* e : {&reference[ch], &paired[ch], &skipped[ch]}) {
      e->rate1 = c.rate1 * (ch ? 1.3 : 1.0);
      e->rate2 = c.rate2 * (ch ? 1.3 : 1.0);
      e->setSampleRate(c.sampleRate);
    }
  int t = 0;
  for (int slice = 0; slice < 400; ++slice) {
    const int n = (slice * 37) % 101;  // 0 to 100 frames between ticks
    for (int ch = 0; ch < 2; ++ch)
      reference[ch].update(), paired[ch].update(), skipped[ch].update();
    std::vector<double> expected[2], out[2];
    for (int ch = 0; ch < 2; ++ch)
      for (int at = t; at < t + n; ++at) {
        const double x = at % 1777 == 5 ? (ch ? NAN : INFINITY) : std::sin(0.013 * at * (ch + 1));
        out[ch].push_back(x);
        expected[ch].push_back(reference[ch].process(x));                    // the sample form
        ASSERT_TRUE(std::isfinite(expected[ch].back())) << "sample " << at;  // NaN enters as 0
      }
    t += n;
    Ensemble::processPair(paired[0], paired[1], out[0].data(), out[1].data(), n, kernel);
    Ensemble::skipPair(skipped[0], skipped[1], n);
    for (int ch = 0; ch < 2; ++ch) {
      ASSERT_TRUE(n == 0 || !std::memcmp(out[ch].data(), expected[ch].data(), sizeof(double) * n))
          << "slice " << slice << ", channel " << ch;
      for (const Ensemble* e : {&skipped[ch], &paired[ch]})
        ASSERT_TRUE(e->delayA() == reference[ch].delayA() && e->delayB() == reference[ch].delayB())
            << (e == &paired[ch] ? "paired" : "skipped") << ", slice " << slice;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    KernelsAndRates, EnsembleKernels,
    ::testing::Combine(::testing::ValuesIn(simd::kKernels),
                       ::testing::Values(EnsembleCase{44100.0, 0.65, 5.7},
                                         EnsembleCase{48000.0, 0.001, 24.999},
                                         EnsembleCase{96000.0, 24.999, 0.001})),
    [](const auto& paramInfo) {
      return std::string(simd::name(std::get<0>(paramInfo.param))) + "_" +
             std::to_string(static_cast<int>(std::get<1>(paramInfo.param).sampleRate));
    });

}  // namespace
