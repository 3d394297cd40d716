#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "dsp/Ensemble.h"

namespace {

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

// A NaN sample would leave NaN in both outputs, which never compare equal.
TEST(Ensemble, BlockFormMatchesSampleFormAndSkipsNaN) {
  Ensemble single, block;
  for (Ensemble* e : {&single, &block}) e->setSampleRate(44100.0);
  std::vector<double> in(1000), expected(1000);
  for (int i = 0; i < 1000; ++i) in[i] = std::sin(i * 0.37) + (i == 500 ? NAN : 0.0);
  for (int tick = 0; tick < 1000; tick += 44) {
    single.update();
    block.update();
    const int n = std::min(44, 1000 - tick);
    for (int i = tick; i < tick + n; ++i) expected[i] = single.process(in[i]);
    block.process(in.data() + tick, in.data() + tick, n);  // in place
  }
  EXPECT_EQ(in, expected);
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

// The stereo kernels against each channel's scalar reference, bit for bit, at rates with
// even and odd line lengths, the extreme rates of both LFOs and odd tick spacings (so
// the delays sweep the whole line, both read indexes wrap round its end, and the delays
// hit their limits), with infinite and NaN input between ordinary signal.
struct EnsembleCase {
  double sampleRate;
  double rate1, rate2;  // Hz, left; the right channel's are 1.3 times them
};

class EnsembleKernels : public ::testing::TestWithParam<std::tuple<SimdKernel, EnsembleCase>> {};

TEST_P(EnsembleKernels, MatchScalarReferenceBitForBit) {
  const auto [kernel, c] = GetParam();
  if (!simd::isSupported(kernel)) GTEST_SKIP() << "kernel not run on this processor";
  Ensemble reference[2], paired[2];
  for (int ch = 0; ch < 2; ++ch)
    for (Ensemble* e : {&reference[ch], &paired[ch]}) {
      e->rate1 = c.rate1 * (ch ? 1.3 : 1.0);
      e->rate2 = c.rate2 * (ch ? 1.3 : 1.0);
      e->setSampleRate(c.sampleRate);
    }
  int t = 0;
  for (int slice = 0; slice < 400; ++slice) {
    const int n = (slice * 37) % 101;  // 0 to 100 frames between ticks
    for (int ch = 0; ch < 2; ++ch) reference[ch].update(), paired[ch].update();
    std::vector<double> expected[2], out[2];
    for (int ch = 0; ch < 2; ++ch) {
      for (int i = 0; i < n; ++i, ++t) {
        const double x = t % 1777 == 5 ? (ch ? NAN : INFINITY) : std::sin(0.013 * t * (ch + 1));
        expected[ch].push_back(x);
      }
      t -= ch ? 0 : n;
      out[ch] = expected[ch];
      reference[ch].process(expected[ch].data(), expected[ch].data(), n);
    }
    Ensemble::processPair(paired[0], paired[1], out[0].data(), out[1].data(), n, kernel);
    for (int ch = 0; ch < 2; ++ch) {
      ASSERT_TRUE(n == 0 || !std::memcmp(out[ch].data(), expected[ch].data(), sizeof(double) * n))
          << "slice " << slice << ", channel " << ch;
      ASSERT_EQ(paired[ch].delayA(), reference[ch].delayA());
      ASSERT_EQ(paired[ch].delayB(), reference[ch].delayB());
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
