#include "dsp/Filter.h"
#include "dsp/Resonator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr double kRate = 44100.0;

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
}  // namespace

TEST(Resonator, PeaksNearItsBandAndRejectsFarFrequencies) {
  Resonator r;
  r.init(kRate, 1000.0);
  const double atBand = sineGain(r, 910.0);  // between the two section centres
  r.init(kRate, 1000.0);
  const double octaveUp = sineGain(r, 2000.0);
  r.init(kRate, 1000.0);
  const double octaveDown = sineGain(r, 455.0);
  EXPECT_GT(atBand, 10.0);  // two resonant sections of Q ~7 in series
  EXPECT_GT(atBand, 20.0 * octaveUp);
  EXPECT_GT(atBand, 20.0 * octaveDown);
}

// The history is held within +-64: a huge tone at the band centre comes out at a
// bounded level instead of the filters' full gain (about 50) times its amplitude.
TEST(Resonator, HistoryClampBoundsAHugeToneAtTheCentre) {
  Resonator r;
  r.init(kRate, 300.0);
  double peak = 0.0;
  for (int i = 0; i < 20000; ++i) {
    const double y = r.process(1e4 * std::sin(2 * M_PI * 280.0 * i / kRate));
    ASSERT_TRUE(std::isfinite(y));
    peak = std::max(peak, std::fabs(y));
  }
  EXPECT_LT(peak, 200.0);
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

TEST(Resonator, NotANumberEntersAsZero) {
  Resonator a, b;
  a.init(kRate, 700.0);
  b.init(kRate, 700.0);
  for (int i = 0; i < 300; ++i) {
    const double x = std::sin(i * 0.2);
    EXPECT_EQ(a.process(i == 10 ? std::nan("") : x), b.process(i == 10 ? 0.0 : x));
  }
}

// Both are 3 dB down at the corner and 12 dB per octave beyond it, on their own sides.
TEST(ButterworthFilter, CornersAndSlopes) {
  Lowpass lp;
  Highpass hp;
  lp.init(kRate, 1000.0);
  hp.init(kRate, 1000.0);
  EXPECT_NEAR(sineGain(lp, 1000.0), std::sqrt(0.5), 0.01);
  EXPECT_NEAR(sineGain(hp, 1000.0), std::sqrt(0.5), 0.01);
  EXPECT_LT(sineGain(lp, 8000.0), 0.02);
  EXPECT_LT(sineGain(hp, 125.0), 0.02);
  EXPECT_NEAR(sineGain(lp, 62.5), 1.0, 1e-3);
}
