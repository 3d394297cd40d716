#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/Ensemble.h"

namespace {

TEST(Ensemble, SilentBeforeTheFirstReset) {
  Ensemble ensemble;
  ensemble.update();
  EXPECT_EQ(ensemble.process(1.0), 0.0);
}

TEST(Ensemble, DelaysStayInsideTheLineWithoutTicks) {
  Ensemble ensemble;
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
  single.setSampleRate(44100.0);
  block.setSampleRate(44100.0);
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

}  // namespace
